// A storm of input in one process: random key codes (the commands more often), special keys
// down and up, pointer reports anywhere, resizes down to 1 x 1, and frames on a clock that
// stalls, jumps and runs back. No GL error may come of it, and no display list may leak.
#include <GL/freeglut.h>

#include <random>

#include "board/pin_board.h"
#include "input/keyboard.h"
#include "input/special_keys.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"

using InputStorm = VaroTest;

TEST_F(InputStorm, LeavesTheProgramDrawingWithoutErrorsOrLeaks) {
    ASSERT_TRUE(resizeWindow(160, 120));  // small frames keep the storm quick
    std::mt19937 random(20261207);
    const char kCommands[] = " ()+,-./<=>?[]_{}cilnoprstuvw";  // 'f' too: among the codes
    for (int event = 0, clockMs = 20000; event < 3000; ++event) {
        const unsigned r = random(),
                       key = r % 3 ? kCommands[r / 3 % (sizeof kCommands - 1)] : r >> 8;
        switch (r >> 29) {
            case 0: glutReshapeWindow(1 + r % 160, 1 + (r >> 8) % 120); break;
            case 1: onSpecialKey(100 + r % 8, 0, 0), onSpecialKeyUp(r >> 8 & 255, 0, 0); break;
            case 2: onPointerMotion(static_cast<short>(r), static_cast<short>(r >> 16)); break;
            case 3:
                pumpEvents();
                ASSERT_EQ(frameAt(clockMs += r % 2 ? 16 : static_cast<int>(r % 5000) - 1000), 0)
                    << "event " << event;
                break;
            default: onKeyboard(static_cast<unsigned char>(key), 0, 0);
        }
        if ((key & 255) == 27)
            onKeyboard('r', 0, 0);  // cancels the quit, so the process goes on
    }
    int lists = 0;  // the pin list and the star field's
    for (GLuint name = 1; name <= static_cast<GLuint>(pinListId) + 100; ++name)
        lists += glIsList(name) == GL_TRUE;
    EXPECT_EQ(lists, 2);
    glutLeaveFullScreen();
    EXPECT_TRUE(resizeWindow(kTestWindowWidth, kTestWindowHeight));
}
