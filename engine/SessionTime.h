// The arithmetic of a surf session's time limit and its end-of-session summary,
// kept apart from the dialog so that it can be checked on its own. All elapsed
// times are whole seconds in 64 bits, so no limit the hours field accepts, nor
// any clock value, overflows.
#pragma once

#include <cstdint>
#include <string>

// The limit in whole minutes: hours x 60 in double precision, truncated toward
// zero; limits beyond the 64-bit range count as the largest value.
int64_t LimitMinutes(float hours);
// True when a limit is set (hours > 0) and at least its whole minutes have passed.
bool LimitReached(float hours, int64_t elapsedSeconds);
// What is left of an hours limit after an interruption: lowered by the whole
// minutes surfed.
float HoursLeft(float hours, int64_t elapsedSeconds);
// The two lines of the end-of-session message box, e.g.
// "User has interrupted Nimbrel Veruvo.\nSurfed 12 pages in 10:00".
std::string SummaryText(uint32_t pages, int64_t elapsedSeconds);
