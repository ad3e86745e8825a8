// The pin board: one pin model in a display list, drawn 2T x T times on a waving relief.
#pragma once

extern int pinListId;  // display list of the pin model; -1 while none exists

// (Re)builds the pin model for the current tesselation; returns the new pinListId.
int buildPinModel();

// The frame's board step: the optional spotlight, then the board inside a matrix push/pop.
void drawBoard();

// Draws the pins and the back plate.
void drawPinBoard();
