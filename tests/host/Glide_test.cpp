// GlideCursor on the simulated desktop: every move of the worked examples,
// the user-movement tolerance at its edge, and coordinates below zero.
#include <vector>

#include "engine/Input.h"
#include "tests/sim/SimTest.h"

namespace {

using desktop::Point;

// `count` steps of (dx, dy) appended to `steps`.
void Append(std::vector<Point>& steps, int count, int32_t dx, int32_t dy) {
    for (int i = 0; i < count; ++i) steps.push_back(Point{dx, dy});
}

class Glide : public SimTest {
protected:
    // Glides undisturbed from `from` to `to`; the steps it made.
    std::vector<Point> Run(Point from, Point to, uint32_t steps, uint32_t delay = 5) {
        sim::PlaceCursor(from);
        EXPECT_EQ(GlideCursor(to.x, to.y, steps, delay), 0);
        EXPECT_EQ(sim::Cursor(), to) << "an undisturbed glide ends on its target";
        const std::vector<Point> made = sim::Steps(from);
        EXPECT_EQ(sim::Sleeps(), std::vector<uint32_t>(made.size(), delay)) << "one pause after each move";
        return made;
    }
};

TEST_F(Glide, WorkedExamplesMoveForMove) {
    std::vector<Point> expected;
    Append(expected, 5, 1, 4);
    Append(expected, 25, 1, 3);
    Append(expected, 70, 0, 3);
    EXPECT_EQ(Run({100, 100}, {130, 405}, 100), expected);

    // The x pixels come in the last 20 steps, not in the first.
    sim::Reset();
    expected.clear();
    Append(expected, 30, 0, 4);
    Append(expected, 20, 1, 4);
    EXPECT_EQ(Run({140, 100}, {160, 300}, 50), expected);

    // More steps allowed than pixels to go: one pixel per step on the longer axis.
    sim::Reset();
    expected = {{1, 1}, {1, 0}, {1, 0}};
    EXPECT_EQ(Run({10, 10}, {13, 11}, 100), expected);

    sim::Reset();
    expected.clear();
    Append(expected, 100, -1, 0);
    EXPECT_EQ(Run({500, 300}, {400, 300}, 100), expected);
}

TEST_F(Glide, NothingToDoMeansNoMoveAndNoPause) {
    sim::PlaceCursor({200, 200});
    EXPECT_EQ(GlideCursor(200, 200, 100, 5), 0);
    EXPECT_EQ(GlideCursor(900, 20, 0, 5), 0) << "zero steps, however far the target";
    EXPECT_TRUE(sim::Events().empty());
    EXPECT_EQ(sim::NowMs(), 0u);
}

// From (100, 100) to (400, 110) in 100 steps: sx = 3, so the tolerance on x is
// 4; the first move is (+3, +1).
TEST_F(Glide, PushWithinTheToleranceShiftsTheRestOfTheGlide) {
    sim::PlaceCursor({100, 100});
    sim::UserMovesBy(2, 1, 0);  // during the first pause: 3 + 1 = 4 since the reference
    EXPECT_EQ(GlideCursor(400, 110, 100, 5), 0);
    EXPECT_EQ(sim::Moves().size(), 100u);
    EXPECT_EQ(sim::Cursor(), (Point{401, 110}));
}

TEST_F(Glide, PushJustAboveTheToleranceStopsTheGlide) {
    sim::PlaceCursor({100, 100});
    sim::UserMovesBy(2, 2, 0);  // 3 + 2 = 5 > 4
    EXPECT_EQ(GlideCursor(400, 110, 100, 5), 1);
    EXPECT_EQ(sim::Moves(), (std::vector<Point>{{103, 101}})) << "no move after the push is seen";
    EXPECT_EQ(sim::Cursor(), (Point{105, 101})) << "the cursor stays where the user put it";
}

TEST_F(Glide, BeforeTheFirstMoveOnlyTheUsersMovementCounts) {
    // The glide reads the cursor once to start and once before its first move.
    sim::PlaceCursor({100, 100});
    sim::UserMovesByBeforeRead(2, 4, 0);  // exactly the tolerance
    EXPECT_EQ(GlideCursor(400, 110, 100, 5), 0);

    sim::Reset();
    sim::PlaceCursor({100, 100});
    sim::UserMovesByBeforeRead(2, -5, 0);  // against the glide, just above it
    EXPECT_EQ(GlideCursor(400, 110, 100, 5), 1);
    EXPECT_TRUE(sim::Moves().empty());

    sim::Reset();
    sim::PlaceCursor({100, 100});
    sim::UserMovesByBeforeRead(2, 0, 2);  // sy = 0: the tolerance on y is 1
    EXPECT_EQ(GlideCursor(400, 110, 100, 5), 1);
}

TEST_F(Glide, PushAgainstTheGlideMustOutweighItsMove) {
    sim::PlaceCursor({100, 100});
    sim::UserMovesBy(2, -7, 0);  // 3 - 7 = -4: within the tolerance
    EXPECT_EQ(GlideCursor(400, 110, 100, 5), 0);
    EXPECT_EQ(sim::Cursor(), (Point{393, 110}));

    sim::Reset();
    sim::PlaceCursor({100, 100});
    sim::UserMovesBy(2, -8, 0);
    EXPECT_EQ(GlideCursor(400, 110, 100, 5), 1);
}

TEST_F(Glide, UserTakingTheMouseMidwayEndsItThere) {
    sim::PlaceCursor({0, 0});
    sim::UserMovesTo(252, {700, 20});
    EXPECT_EQ(GlideCursor(500, 500, 100, 5), 1);
    EXPECT_EQ(sim::Moves().size(), 51u);
    EXPECT_EQ(sim::Cursor(), (Point{700, 20}));
    EXPECT_EQ(sim::NowMs(), 255u) << "it stops at the first check after the move";
}

TEST_F(Glide, AcrossZeroOnAMonitorLeftOfThePrimary) {
    sim::SetVirtualScreen({-1920, -1080, 1024, 768});
    // Truncating division would put 120 extra pixels on 100 steps and stop at x = 40.
    const std::vector<Point> made = Run({-60, 10}, {60, 10}, 100);
    for (const Point& step : made) {
        EXPECT_GE(step.x, 1);
        EXPECT_LE(step.x, 2) << "no step larger than |sx| + 1";
    }
}

TEST_F(Glide, EndsExactlyOnTargetsBelowZero) {
    sim::SetVirtualScreen({-1920, -1080, 1024, 768});
    const Point cases[][2] = {
        {{-1500, -200}, {-1400, -100}}, {{-1, -1}, {-1900, -1000}}, {{-1900, -1000}, {1000, 700}},
        {{5, 5}, {-7, -3}},             {{-333, 17}, {250, -17}},
    };
    for (const auto& c : cases) {
        for (uint32_t steps : {1u, 7u, 60u, 100u, 200u}) {
            sim::Reset();
            sim::SetVirtualScreen({-1920, -1080, 1024, 768});
            Run(c[0], c[1], steps, 3);
        }
    }
}

}  // namespace
