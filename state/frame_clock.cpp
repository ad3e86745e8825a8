// The frame and clock globals (times on the elapsedMs clock):
//   elapsedMs         frame clock in milliseconds, written by main and by each host's frame
//   nowSeconds        this frame's time, seconds
//   lastFrameMs       the previous frame's elapsedMs
//   frameStep         seconds since the previous frame; a step above 0.1 becomes 0.05
//   framesThisSecond  frames counted since the last whole-second mark
//   framesPerSecond   frames counted in the last completed second
//   nextSecondMarkMs  elapsedMs at which the next count is taken
//   brightness        fade factor 0..1 applied by the board and the spotlight
//   fadingIn          flag: the board fades in (from start); the frame after it ends it
//   quitting          flag: ESC was pressed; the board fades out, then the process ends
//   quitPressedMs     elapsedMs at the latest ESC
//   forceClear        one-shot request to clear the next frame even in hyperspace
//   helpShown         flag: the help page is drawn every frame
//   clockZeroUs       monotonic microseconds at which the frame clock reads 0
#include "state/frame_clock.h"

#include <time.h>

#include <cstdint>

int elapsedMs = 0;
float nowSeconds = 0;
int lastFrameMs = 0;
float frameStep = 0;
int framesThisSecond = 0;
int framesPerSecond = 30;
int nextSecondMarkMs = 1000;
float brightness = 1.0f;
int fadingIn = 1;
int quitting = 0;
int quitPressedMs = 0;
int forceClear = 0;
int helpShown = 0;

namespace {
constexpr long long kMicrosecondsPerSecond = 1000000;
long long clockZeroUs = 0;

int wrappedMs(long long us) {
    return static_cast<int>(static_cast<std::uint32_t>(us / 1000));
}
}  // namespace

int msSince(int earlierMs) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(elapsedMs) -
                                     static_cast<std::uint32_t>(earlierMs));
}

int msAfter(int ms, int delta) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms) +
                                     static_cast<std::uint32_t>(delta));
}

long long monotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * kMicrosecondsPerSecond + now.tv_nsec / 1000;
}

int startFrameClock() {
    clockZeroUs = monotonicMicroseconds();
    return wrappedMs(clockZeroUs);
}

int frameClockMs() {
    return wrappedMs(monotonicMicroseconds() - clockZeroUs);
}
