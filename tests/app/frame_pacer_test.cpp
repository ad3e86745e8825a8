// The frame cap on an injected clock: a steady schedule, no burst after a stall, 0 for no cap.
#include "app/frame_pacer.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// A row: the period, then each frame's time of asking and its wait, microseconds. Frames of 4 ms
// wait for their turn; one of 24 ms is late, and the next keeps the beat; a stall starts afresh.
TEST(FramePacer, KeepsASteadyScheduleAndStartsItAgainAfterAStall) {
    const std::pair<long long, std::vector<std::pair<long long, long long>>> cases[] = {
        {0, {{1000, 0}, {1001, 0}}},
        {20000, {{1000, 0}, {5000, 16000}, {45000, 0}, {62000, 0}, {70000, 11000}}},
        {20000, {{0, 0}, {100000, 0}, {101000, 19000}}},
    };
    for (const auto& [periodUs, asks] : cases) {
        FrameSchedule schedule{periodUs};
        for (const auto& [nowUs, waitUs] : asks)
            EXPECT_EQ(waitForFrameSlot(schedule, nowUs), waitUs) << periodUs << " at " << nowUs;
    }
}
