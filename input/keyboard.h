// Character-key commands.
#pragma once

// The commands that act on the program as a whole: the program above the keys supplies them
// at start-up (initScene); until then they do nothing.
struct ProgramCommands {
    void (*reset)();                                 // 'r': the whole reset
    void (*leaveFullScreen)(int width, int height);  // 'f' in full screen
    void (*enterFullScreen)();                       // 'f' in the window
};
extern ProgramCommands programCommands;

extern int letterboxPhase;  // bounce counter behind the letterbox key, -5..6
extern int numberCounter;   // 0..15, stepped and shown by 'n'

void onKeyboard(unsigned char key, int x, int y);

// Second stage of a key press: the commands that rebuild or cycle pictures and counters.
void keyboardTail(unsigned char key);
