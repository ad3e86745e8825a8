// What the layers below app/ ask of the program as a whole: the reset, the window mode, the
// pointer and the cursor. The host that owns the window connects them at start-up; until then,
// and in a window without keys or pointer, they do nothing.
#pragma once

struct ProgramCommands {
    void (*reset)();                                 // 'r': the whole reset
    void (*leaveFullScreen)(int width, int height);  // 'f' in full screen
    void (*enterFullScreen)();                       // 'f' in the window
    void (*warpPointer)(int x, int y);               // the manual camera sends the pointer home
    void (*showCursor)(bool shown);                  // the arrow in the window, none full screen
};
extern ProgramCommands programCommands;
