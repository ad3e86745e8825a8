// A storm of input in one process: thousands of random key codes (0..255), special keys down
// and up, pointer reports and clicks anywhere, real window resizes down to 1 x 1, and frames on
// a clock that mostly steps but stalls, jumps and runs back. Afterwards no GL error has been
// raised, every setting is in its range, and the pin list and the star list are the only lists.
#include <GL/freeglut.h>

#include <random>

#include "backdrop/star_field.h"
#include "board/pin_board.h"
#include "input/keyboard.h"
#include "input/special_keys.h"
#include "state/settings.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"

namespace {
constexpr unsigned char kEscape = 27;

class Storm {
public:
    explicit Storm(unsigned seed) : random_(seed) {}

    // One random event; returns the GL errors a frame it drew raised.
    int step() {
        const int kind = pick(0, 99);
        if (kind < 50) {
            key();
        } else if (kind < 70) {
            const int code = pick(0, 3) == 0 ? pick(0, 255) : pick(100, 107);
            (pick(0, 1) ? onSpecialKey : onSpecialKeyUp)(code, 0, 0);
        } else if (kind < 82) {
            onPointerMotion(pick(-32768, 32767), pick(-32768, 32767));
        } else if (kind < 88) {
            onMouseButton(pick(0, 4), pick(0, 1), pick(-32768, 32767), pick(-32768, 32767));
        } else if (kind < 90) {
            glutReshapeWindow(pick(1, 160), pick(1, 120));
            pumpEvents();
        } else {
            return frame();
        }
        return 0;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // The command keys come more often ('f' among the random codes only: a full screen makes
    // the frames slow). ESC is followed at once by 'r', which cancels the quit.
    void key() {
        static const char kCommands[] = " ()+,-./<=>?[]_{}cilnoprstuvwCILNOPRSTUVW";
        const auto code = static_cast<unsigned char>(
            pick(0, 2) == 0 ? pick(0, 255) : kCommands[pick(0, sizeof kCommands - 2)]);
        onKeyboard(code, 0, 0);
        if (code == kEscape)
            onKeyboard('r', 0, 0);
    }

    int frame() {
        const int kind = pick(0, 99);
        clockMs_ += kind < 85 ? pick(0, 40) : kind < 93 ? pick(100, 5000) : -pick(0, 2000);
        pumpEvents();
        return frameAt(clockMs_);
    }

    std::mt19937 random_;
    int clockMs_ = 20000;
};

using InputStorm = VaroTest;

TEST_F(InputStorm, LeavesTheProgramRunningInRangeWithoutErrors) {
    ASSERT_TRUE(resizeWindow(160, 120));  // small frames keep the storm quick
    Storm storm(20261207);
    for (int event = 0; event < 3000; ++event) {
        ASSERT_EQ(storm.step(), 0) << "a GL error at event " << event;
        const SimulationSettings& s = settings;
        ASSERT_TRUE(s.fieldOfView >= 1 && s.fieldOfView <= 179 && s.tesselation >= 8 &&
                    s.tesselation <= 40 && s.letterbox >= 0 && s.letterbox <= 6 &&
                    s.polyMode >= 0 && s.polyMode <= 2 && s.texGenMode >= 0 && s.texGenMode <= 2 &&
                    s.imageIndex >= 0 && s.imageIndex <= 1 && s.rotateSpeed >= 0.001f &&
                    s.mainSpeed <= 1000 && s.objectSize >= 0.001f && s.objectSize <= 1000)
            << "a setting out of range at event " << event;
    }
    int lists = 0;
    for (GLuint name = 1; name <= static_cast<GLuint>(pinListId) + 100; ++name)
        lists += glIsList(name) == GL_TRUE;
    EXPECT_EQ(lists, 2);
    EXPECT_TRUE(glIsList(static_cast<GLuint>(pinListId)) && glIsList(starField.listId));
    glutLeaveFullScreen();  // 'f' may have left the window full screen
    pumpEvents();
    EXPECT_TRUE(resizeWindow(kTestWindowWidth, kTestWindowHeight));
}
}  // namespace
