// What the status line says while surfing, as a pure function of the hours
// limit and the time surfed.
#pragma once

#include <cstdint>
#include <string>

// "Will surf until user interrupts me" without a limit (hours 0 or less),
// "Will stop in 1 hour, 30 minutes" while whole minutes remain, else
// "Finishing Current Page".
std::string StatusText(float hours, int64_t elapsedSeconds);
