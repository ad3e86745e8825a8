// The frame cap: a frame starts at most every so many microseconds, on a steady schedule.
#pragma once

struct FrameSchedule {
    long long periodUs = 0;  // a frame starts at most this often, microseconds; 0: no cap
    long long nextUs = -1;   // the earliest start of the next frame; -1: no frame yet
};

// How long to wait, from `nowUs` on the monotonic clock, before the next frame starts; the
// frame is booked for then. Frames keep to the schedule first frame + k * period; after a stall
// of more than a period the schedule starts again from now, rather than catching up in a burst.
long long waitForFrameSlot(FrameSchedule& schedule, long long nowUs);

// The monotonic clock, microseconds.
long long monotonicMicroseconds();

// Sleeps `us` microseconds, or less if a signal arrives.
void sleepMicroseconds(long long us);
