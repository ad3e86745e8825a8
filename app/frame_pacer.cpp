// The frame cap: a frame starts at most every so many microseconds, on a steady schedule.
#include "app/frame_pacer.h"

#include <time.h>

namespace {
constexpr long long kMicrosecondsPerSecond = 1000000;
}  // namespace

long long waitForFrameSlot(FrameSchedule& schedule, long long nowUs) {
    if (schedule.periodUs <= 0)
        return 0;
    if (schedule.nextUs < 0 || nowUs - schedule.nextUs > schedule.periodUs)
        schedule.nextUs = nowUs;  // the first frame, or a stall: a new schedule from now
    const long long startUs = schedule.nextUs > nowUs ? schedule.nextUs : nowUs;
    schedule.nextUs += schedule.periodUs;
    return startUs - nowUs;
}

long long monotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * kMicrosecondsPerSecond + now.tv_nsec / 1000;
}

void sleepMicroseconds(long long us) {
    if (us <= 0)
        return;
    const timespec wait{static_cast<time_t>(us / kMicrosecondsPerSecond),
                        static_cast<long>(us % kMicrosecondsPerSecond * 1000)};
    nanosleep(&wait, nullptr);  // a signal cuts it short, which the caller wants
}
