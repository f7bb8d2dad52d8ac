// The arithmetic of a surf session's time limit, kept apart from the dialog so
// that it can be checked on its own. All elapsed
// times are whole seconds in 64 bits, so no limit the hours field accepts, nor
// any clock value, overflows.
#pragma once

#include <cstdint>

// The limit in whole minutes: hours x 60 in double precision, truncated toward
// zero; limits beyond the 64-bit range count as the largest value.
int64_t LimitMinutes(float hours);
// True when a limit is set (hours > 0) and at least its whole minutes have passed.
bool LimitReached(float hours, int64_t elapsedSeconds);
// What is left of an hours limit after an interruption: lowered by the whole
// minutes surfed.
float HoursLeft(float hours, int64_t elapsedSeconds);
