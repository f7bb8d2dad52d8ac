#include "framework/Random.h"

#include <utility>

namespace {

// A draw from 0 to width - 1. The widths that the program uses are far below
// 2^32, so the remainder's bias is below one part in 100000.
uint32_t Draw(uint32_t width) { return static_cast<uint32_t>(Random()() % width); }

}  // namespace

RandomEngine& Random() {
    static RandomEngine engine;
    return engine;
}

void SeedRandom(uint32_t seed) { Random().seed(seed); }

uint32_t RandomRange(uint32_t a, uint32_t b) {
    if (a > b) std::swap(a, b);
    const uint32_t width = b - a + 1;
    if (width == 0) return b;  // all 2^32 values: nothing to divide by
    return a + Draw(width);
}

int32_t RandomBetween(int32_t a, int32_t b) {
    if (a > b) std::swap(a, b);
    const uint32_t width = static_cast<uint32_t>(static_cast<int64_t>(b) - a) + 1;
    if (width == 0) return b;
    return static_cast<int32_t>(static_cast<int64_t>(a) + Draw(width));
}
