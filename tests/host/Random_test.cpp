// RandomRange and RandomBetween: bounds in either order, single values, the
// full range, and ranges below zero.
#include <cstdint>
#include <limits>
#include <set>

#include <gtest/gtest.h>

#include "framework/Random.h"

namespace {

class RandomDraws : public ::testing::Test {
protected:
    void SetUp() override { SeedRandom(7); }
};

TEST_F(RandomDraws, BoundsInEitherOrderDrawTheSame) {
    std::vector<uint32_t> high, low;
    for (int i = 0; i < 1000; ++i) high.push_back(RandomRange(10000, 5000));
    SeedRandom(7);
    for (int i = 0; i < 1000; ++i) low.push_back(RandomRange(5000, 10000));
    EXPECT_EQ(high, low);
    for (uint32_t v : high) {
        EXPECT_GE(v, 5000u);
        EXPECT_LE(v, 10000u);
    }
}

TEST_F(RandomDraws, BothBoundsAreReached) {
    std::set<uint32_t> seen;
    for (int i = 0; i < 500; ++i) seen.insert(RandomRange(3, 1));
    EXPECT_EQ(seen, (std::set<uint32_t>{1, 2, 3}));
}

TEST_F(RandomDraws, SingleValueCostsOneDraw) {
    RandomEngine expected = Random();
    expected.discard(1);
    EXPECT_EQ(RandomRange(7, 7), 7u);
    EXPECT_EQ(Random(), expected);
}

TEST_F(RandomDraws, FullRangeReturnsTheUpperBoundWithoutADraw) {
    const RandomEngine before = Random();
    EXPECT_EQ(RandomRange(0, 4294967295u), 4294967295u);
    EXPECT_EQ(RandomRange(4294967295u, 0), 4294967295u);
    EXPECT_EQ(RandomBetween(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()),
              std::numeric_limits<int32_t>::max());
    EXPECT_EQ(Random(), before);
}

TEST_F(RandomDraws, WidestRangeOfTheProgramIsCoveredWhole) {
    uint32_t lowest = UINT32_MAX, highest = 0;
    for (int i = 0; i < 20000; ++i) {
        const uint32_t v = RandomRange(20000, 38000);
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
    }
    EXPECT_LT(lowest, 20010u);
    EXPECT_GT(highest, 37990u);
    EXPECT_GE(lowest, 20000u);
    EXPECT_LE(highest, 38000u);
}

TEST_F(RandomDraws, PointOfARectangleLeftOfThePrimaryStaysInside) {
    std::set<int32_t> seen;
    for (int i = 0; i < 2000; ++i) {
        const int32_t x = RandomBetween(-1920, -1);
        EXPECT_GE(x, -1920);
        EXPECT_LE(x, -1);
        const int32_t y = RandomBetween(5, -3);  // across zero, bounds reversed
        EXPECT_GE(y, -3);
        EXPECT_LE(y, 5);
        seen.insert(y);
    }
    EXPECT_EQ(seen.size(), 9u);
    EXPECT_EQ(RandomBetween(-4, -4), -4);
}

}  // namespace
