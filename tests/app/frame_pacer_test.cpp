// The frame cap on an injected clock: steady, no burst after a stall, 50 ms wait slices, 0 = none;
// the one clock both hosts read.
#include "app/frame_pacer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <utility>
#include <vector>

#include "state/frame_clock.h"

// Rows: period, then (time asked, sleep) in us, 0 = draw now. 4 ms frames wait their turn; a
// 24 ms one is late and the next keeps the beat; a stall starts afresh; 10 s waits in slices.
TEST(FramePacer, KeepsASteadyScheduleInSlicesAndStartsItAgainAfterAStall) {
    const std::pair<long long, std::vector<std::pair<long long, long long>>> cases[] = {
        {0, {{1000, 0}, {1001, 0}}},
        {20000, {{1000, 0}, {5000, 16000}, {21000, 0}, {45000, 0}, {62000, 0}, {70000, 11000}}},
        {20000, {{0, 0}, {100000, 0}, {101000, 19000}}},
        {10000000, {{0, 0}, {1, 50000}, {50001, 50000}, {9990000, 10000}, {10000000, 0}}},
    };
    for (const auto& [periodUs, asks] : cases) {
        FrameSchedule schedule{periodUs};
        for (const auto& [nowUs, sleepUs] : asks)
            EXPECT_EQ(frameWaitSliceUs(schedule, nowUs), sleepUs) << periodUs << " at " << nowUs;
    }
    // Without --delay (-1) its own window has no cap; a --delay of 0 lifts a given window's.
    EXPECT_EQ(framePeriodUs(-1, Host::ownWindow), 0);
    EXPECT_EQ(framePeriodUs(0, Host::givenWindow), 0);
}

// The frame clock is CLOCK_MONOTONIC to the microsecond, read in whole milliseconds from its zero:
// each reading lies between two of the standard steady clock's taken around it.
TEST(FrameClock, ReadsTheMonotonicClockFromItsZero) {
    const auto steadyUs = [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    };
    const long long before = steadyUs(), zeroUs = (startFrameClock(), monotonicMicroseconds());
    const long long after = steadyUs();
    EXPECT_TRUE(before <= zeroUs && zeroUs <= after) << before << " " << zeroUs << " " << after;
    while (steadyUs() < after + 20000) {  // 20 ms on, as a frame might come
    }
    const long long early = steadyUs();
    const int ms = frameClockMs();
    EXPECT_TRUE((early - after) / 1000 <= ms && ms <= (steadyUs() - before) / 1000 + 1) << ms;
}
