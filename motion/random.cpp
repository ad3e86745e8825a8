// The program's one random generator: a 15-bit linear congruential generator.
#include "motion/random.h"

#include <cstdint>

namespace {
std::uint32_t generatorState = 1;  // state; arithmetic wraps modulo 2^32
}  // namespace

void seedRandom(unsigned int seed) {
    generatorState = seed;
}

int nextRandom() {
    generatorState = generatorState * 214013u + 2531011u;
    return static_cast<int>((generatorState >> 16) & 0x7FFFu);
}

double uniformRandom(double x) {
    return nextRandom() / 32768.0 * x;
}
