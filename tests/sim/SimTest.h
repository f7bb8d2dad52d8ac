// The fixture of every test on the simulated desktop: a fresh desktop and a
// fixed seed, so that each test sees the same draws on every run. It resets in
// its constructor, before the members of a derived fixture (a TestSurfer, say)
// put their windows on the desktop.
#pragma once

#include <gtest/gtest.h>

#include "framework/Random.h"
#include "tests/sim/SimDesktop.h"

class SimTest : public ::testing::Test {
protected:
    SimTest() {
        sim::Reset();
        SeedRandom(kSeed);
    }

    static constexpr uint32_t kSeed = 20240611;
};
