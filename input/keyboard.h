// Character-key commands.
#pragma once

extern int letterboxPhase;  // bounce counter behind the letterbox key, -5..6
extern int numberCounter;   // 0..15, stepped and shown by 'n'

void onKeyboard(unsigned char key, int x, int y);

// The image key's message, "Image k/N: name", for the picture on the board.
void announceImage();

// Second stage of a key press: the commands that rebuild or cycle pictures and counters.
void keyboardTail(unsigned char key);
