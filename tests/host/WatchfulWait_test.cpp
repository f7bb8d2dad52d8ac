// WatchfulWait in virtual time: its slices, when it refreshes the status line,
// and which movements of the mouse end it.
#include <vector>

#include "res/resource.h"
#include "tests/sim/SimTest.h"
#include "tests/sim/TestSurfer.h"

namespace {

class Wait : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        sim::PlaceCursor({500, 400});
        // Surfing, so that every refresh writes the status line and shows in the record.
        dialog_.m_nState = 1;
        dialog_.m_tStart = desktop::Now();
        mark_ = sim::Mark();
    }

    // Virtual times at which the wait refreshed the status line.
    std::vector<uint64_t> Refreshes() const {
        std::vector<uint64_t> times;
        for (const sim::Event& e : sim::TextsOf(dialog_.Control(IDC_STATUS), sim::EventsSince(mark_))) {
            times.push_back(e.atMs);
        }
        return times;
    }

    TestSurfer dialog_;
    size_t mark_ = 0;
};

using Times = std::vector<uint64_t>;

TEST_F(Wait, ShorterThanASliceRefreshesOnceAndDoesNotSleep) {
    EXPECT_EQ(dialog_.WatchfulWait(4), 0);
    EXPECT_EQ(Refreshes(), Times{0});
    EXPECT_TRUE(sim::Sleeps(sim::EventsSince(mark_)).empty());
}

TEST_F(Wait, SleepsInFiveMillisecondSlicesAndDropsTheRest) {
    EXPECT_EQ(dialog_.WatchfulWait(304), 0);
    EXPECT_EQ(sim::Sleeps(sim::EventsSince(mark_)), std::vector<uint32_t>(60, 5));
    EXPECT_EQ(sim::NowMs(), 300u);
    EXPECT_EQ(Refreshes(), (Times{0, 5})) << "at the start and in slice 0, not again";
}

TEST_F(Wait, RefreshesEveryHundredSlices) {
    EXPECT_EQ(dialog_.WatchfulWait(1505), 0);
    EXPECT_EQ(Refreshes(), (Times{0, 5, 505, 1005, 1505}));
}

TEST_F(Wait, CountdownMovesOnDuringALongWait) {
    dialog_.m_fHours = 1.0f;
    dialog_.m_tStart = desktop::Now() - (59 * 60 + 50);  // the limit passes in 10 seconds
    EXPECT_EQ(dialog_.WatchfulWait(20000), 0);
    const auto texts = sim::TextsOf(dialog_.Control(IDC_STATUS), sim::EventsSince(mark_));
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front().text, "Will stop in 1 minute");
    EXPECT_EQ(dialog_.Text(IDC_STATUS), "Finishing Current Page");
}

TEST_F(Wait, IdleWaitKeepsTheIdleLayout) {
    dialog_.m_nState = 0;
    EXPECT_EQ(dialog_.WatchfulWait(1000), 0);
    EXPECT_TRUE(dialog_.Visible(IDC_HOURS));
    EXPECT_FALSE(dialog_.Visible(IDC_STATUS));
    EXPECT_TRUE(Refreshes().empty());
}

TEST_F(Wait, OneNudgeIsForgiven) {
    sim::UserMovesBy(1002, 100, 0);
    EXPECT_EQ(dialog_.WatchfulWait(3000), 0);
    EXPECT_EQ(sim::NowMs(), 3000u);
}

TEST_F(Wait, SecondMovementFromWhereTheFirstLeftInterrupts) {
    sim::UserMovesBy(1002, 100, 0);
    sim::UserMovesBy(2002, 0, 6);
    EXPECT_EQ(dialog_.WatchfulWait(3000), 1);
    EXPECT_EQ(sim::NowMs(), 2005u) << "in the slice that sees it";
}

TEST_F(Wait, TwoJumpsWithinOneSliceCountOnce) {
    // The new reference is read after the first movement is seen, so a second
    // jump in the same slice is part of the first.
    sim::UserMovesBy(1001, 100, 0);
    sim::UserMovesBy(1003, 100, 0);
    EXPECT_EQ(dialog_.WatchfulWait(3000), 0);
}

TEST_F(Wait, NewReferenceIsWhereTheCursorIsWhenItIsRead) {
    // The second jump lands between the read that sees the first one and the
    // read that takes the new reference.
    sim::At(1002, [] {
        sim::MoveCursorBy(100, 0);
        sim::UserMovesByBeforeRead(2, 0, 50);
    });
    EXPECT_EQ(dialog_.WatchfulWait(3000), 0);
}

TEST_F(Wait, FivePixelsOnEachAxisNeverCount) {
    sim::UserMovesBy(100, 5, 5);
    sim::UserMovesBy(200, -10, -10);
    sim::UserMovesBy(300, 10, 5);
    sim::UserMovesBy(400, -5, 0);
    EXPECT_EQ(dialog_.WatchfulWait(1000), 0);
}

TEST_F(Wait, SlowDriftCountsOnceItIsMoreThanFivePixelsAway) {
    for (uint64_t t = 50; t <= 2000; t += 50) sim::UserMovesBy(t, 1, 0);
    // Six pixels away at 300 ms: the first movement; six more at 600 ms: the second.
    EXPECT_EQ(dialog_.WatchfulWait(5000), 1);
    EXPECT_EQ(sim::NowMs(), 600u);
}

TEST_F(Wait, MovementsOnTheOtherAxisCountAlike) {
    sim::UserMovesBy(10, 0, -6);
    sim::UserMovesBy(20, 0, -6);
    EXPECT_EQ(dialog_.WatchfulWait(100), 1);
    EXPECT_EQ(sim::NowMs(), 20u);
}

}  // namespace
