// The program's one random generator: a 15-bit linear congruential generator.
#pragma once

// Sets the generator's state to `seed`; the state is 1 until the first seeding.
void seedRandom(unsigned int seed);

// Advances the state and returns the next value, 0..32767.
int nextRandom();

// A uniform number in [0, x): the next value / 32768 * x, in double precision.
double uniformRandom(double x);
