// The frame cap: a frame starts at most every so many microseconds, on a steady schedule.
#include "app/frame_pacer.h"

#include <time.h>

#include <algorithm>

namespace {
constexpr long long kMicrosecondsPerSecond = 1000000;
constexpr long long kWaitSliceUs = 50000;  // input, resizes and stops wait no longer than this
}  // namespace

long long framePeriodUs(long delayUs, Host host) {
    const long hostsOwn = host == Host::ownWindow ? kOwnWindowDelayUs : kGivenWindowDelayUs;
    return delayUs >= 0 ? delayUs : hostsOwn;
}

long long frameWaitSliceUs(FrameSchedule& schedule, long long nowUs) {
    if (schedule.periodUs <= 0)
        return 0;
    if (schedule.nextUs > nowUs)
        return std::min(schedule.nextUs - nowUs, kWaitSliceUs);
    if (schedule.nextUs < 0 || nowUs - schedule.nextUs > schedule.periodUs)
        schedule.nextUs = nowUs;  // the first frame, or a stall: a new schedule from now
    schedule.nextUs += schedule.periodUs;
    return 0;
}

void sleepMicroseconds(long long us) {
    if (us <= 0)
        return;
    const timespec wait{static_cast<time_t>(us / kMicrosecondsPerSecond),
                        static_cast<long>(us % kMicrosecondsPerSecond * 1000)};
    nanosleep(&wait, nullptr);  // a signal cuts it short, which the caller wants
}
