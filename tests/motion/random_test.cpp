// The random generator: its sequence and its uniform numbers.
#include <gtest/gtest.h>

#include "motion/random.h"

TEST(Random, FollowsTheFifteenBitGeneratorFromSeedOne) {
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
    EXPECT_DOUBLE_EQ(uniformRandom(360.0), 6334 / 32768.0 * 360.0);
}

TEST(Random, StateWrapsModulo2To32) {
    seedRandom(0xFFFFFFFFu);
    // (2^32 - 1) * 214013 + 2531011 mod 2^32 = 2317000 -> (2317000 >> 16) & 0x7FFF = 35
    EXPECT_EQ(nextRandom(), 35);
}
