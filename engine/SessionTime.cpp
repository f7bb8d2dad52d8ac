#include "engine/SessionTime.h"

#include <cmath>
#include <limits>

int64_t LimitMinutes(float hours) {
    const double minutes = static_cast<double>(hours) * 60.0;
    if (std::isnan(minutes)) return 0;  // "nan" parses as a number, and is refused as out of range
    // 2^63 is exact as a double; anything at or past it (infinity included)
    // cannot be converted without overflow.
    constexpr double kPastInt64 = 9223372036854775808.0;
    if (minutes >= kPastInt64) return std::numeric_limits<int64_t>::max();
    if (minutes <= -kPastInt64) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(minutes);
}

bool LimitReached(float hours, int64_t elapsedSeconds) {
    if (!(hours > 0.0f)) return false;
    return elapsedSeconds / 60 >= LimitMinutes(hours);
}

float HoursLeft(float hours, int64_t elapsedSeconds) {
    const int64_t minutes = elapsedSeconds / 60;
    return static_cast<float>(static_cast<double>(hours) - static_cast<double>(minutes) * (1.0 / 60.0));
}
