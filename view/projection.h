// The 3-D view of a frame: polygon mode, letterboxed viewport, perspective and eye.
#pragma once

// Loads polygon mode, viewport, projection and look-at; leaves the model-view matrix current.
void setupView();
