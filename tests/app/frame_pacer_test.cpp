// The frame cap on an injected clock: a steady schedule, no burst after a stall, 0 for no cap,
// and a long wait in slices of 50 ms at most, which book no frame; the hosts' caps.
#include "app/frame_pacer.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// A row: the period, then each time of asking and the sleep asked for, microseconds (0: the
// frame starts). Frames of 4 ms wait for their turn; one of 24 ms is late, and the next keeps
// the beat; a stall starts afresh; ten seconds are waited in slices.
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
