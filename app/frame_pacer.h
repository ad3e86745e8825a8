// The frame cap: a frame starts at most every so many microseconds, on a steady schedule, and
// the wait for its turn goes in slices, so that a host handles its events between them.
#pragma once

// Each host's frame cap without --delay: the program's own window draws as often as it can; a
// window it is given (the screensaver's) spares the processor, 50 frames a second at most.
enum class Host { ownWindow, givenWindow };
constexpr long kOwnWindowDelayUs = 0, kGivenWindowDelayUs = 20000;

// The period of a host's frame cap: --delay's microseconds if given (-1: not), else its default.
long long framePeriodUs(long delayUs, Host host);

struct FrameSchedule {
    long long periodUs = 0;  // a frame starts at most this often, microseconds; 0: no cap
    long long nextUs = -1;   // the earliest start of the next frame; -1: no frame yet
};

// How long to sleep, from `nowUs` on the monotonic clock, before asking again: at most a slice
// of 50 ms. 0 says the next frame's turn has come, and books the one after it: frames keep to
// the schedule first frame + k * period; after a stall of more than a period the schedule
// starts again from now, rather than catching up in a burst.
long long frameWaitSliceUs(FrameSchedule& schedule, long long nowUs);

// Sleeps `us` microseconds, or less if a signal arrives.
void sleepMicroseconds(long long us);
