// Stepping a real-valued setting and confirming the new value on the message line.
#pragma once

// The factors of the speed keys' steps down and up: not exact inverses, by design.
constexpr double kSlower = 0.9, kFaster = 1.111111;

// Multiplies the setting by `factor` (or adds `delta`) in double precision, stores the result
// as float and shows the unrounded result with `format`, which takes one real. A factor
// setting stays within 0.001 .. 1000: a step beyond is not taken.
void scaleSetting(float& value, double factor, const char* format);
void shiftSetting(float& value, double delta, const char* format);
