// The per-frame driver.
#pragma once

// Draws one frame from `elapsedMs`. Returns whether the show goes on: false once the quit fade
// has run out, the graphics released and the frame left unshown; the host then ends with 0.
bool renderFrame();
