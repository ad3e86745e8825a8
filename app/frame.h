// The per-frame driver.
#pragma once

// Draws one frame from `elapsedMs`; ends the process once the quit fade has run out.
bool renderFrame();
