// The per-frame driver.
#pragma once

// Draws one frame from `elapsedMs`; ends the process once the quit fade has run out.
bool renderFrame();

// How the frames tell of a new picture: with the image key's message (the program's own
// window), with the picture's name (--titles, in a window it is given), or not at all.
enum class PictureNews { imageMessage, titles, silent };
void tellOfPictures(PictureNews how);
