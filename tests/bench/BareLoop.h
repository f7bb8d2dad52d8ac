// What every slice of the program's waits does, and nothing else: the baseline
// that the program's waiting is held against.
#pragma once

#include <windows.h>

#include <cstdint>

namespace bench {

constexpr uint32_t kSliceMs = 5;

inline void BareSlices(uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        Sleep(kSliceMs);
        POINT p;
        GetCursorPos(&p);
    }
}

}  // namespace bench
