// The per-frame driver.
#pragma once

// Draws one frame from `elapsedMs`. Returns whether the show goes on: false once the quit fade
// has run out, the graphics released and the frame left unshown; the host then ends with 0.
bool renderFrame();

// How the frames tell of a new picture: with the image key's message (the program's own
// window), with the picture's name (--titles, in a window it is given), or not at all.
enum class PictureNews { imageMessage, titles, silent };
void tellOfPictures(PictureNews how);
