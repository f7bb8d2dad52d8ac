// The program's one random generator. Seeded once, from the current time, when
// the main dialog initialises; tests seed it with fixed values.
#pragma once

#include <cstdint>
#include <random>

using RandomEngine = std::mt19937;

RandomEngine& Random();
void SeedRandom(uint32_t seed);

// An integer drawn from the closed range between two bounds given in either order.
uint32_t RandomRange(uint32_t a, uint32_t b);
// The same for signed values such as screen coordinates, which may be negative
// on a monitor left of or above the primary one.
int32_t RandomBetween(int32_t a, int32_t b);
