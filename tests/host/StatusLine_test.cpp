// The status line: its countdown texts and its two layouts.
#include <cfloat>
#include <cmath>
#include <string>

#include "res/resource.h"
#include "tests/sim/SimTest.h"
#include "tests/sim/TestSurfer.h"
#include "ui/StatusLine.h"

namespace {

constexpr int64_t kMinute = 60;

TEST(StatusText, CountsDownWholeMinutes) {
    EXPECT_EQ(StatusText(1.5f, 0), "Will stop in 1 hour, 30 minutes");
    EXPECT_EQ(StatusText(1.5f, 30 * kMinute), "Will stop in 1 hour");
    EXPECT_EQ(StatusText(1.5f, 89 * kMinute + 59), "Will stop in 1 minute");
    EXPECT_EQ(StatusText(1.5f, 90 * kMinute), "Finishing Current Page");
    EXPECT_EQ(StatusText(1.5f, 600 * kMinute), "Finishing Current Page");
    EXPECT_EQ(StatusText(2.0f, 0), "Will stop in 2 hours");
    EXPECT_EQ(StatusText(2.0f, 1), "Will stop in 2 hours") << "a started minute is not a surfed one";
    EXPECT_EQ(StatusText(3.0f, 59 * kMinute), "Will stop in 2 hours, 1 minute");
    EXPECT_EQ(StatusText(1.0f, 58 * kMinute), "Will stop in 2 minutes");
}

TEST(StatusText, LimitIsTheStoredFloatInWholeMinutes) {
    EXPECT_EQ(StatusText(static_cast<float>(0.333333), 0), "Will stop in 19 minutes");
    EXPECT_EQ(StatusText(static_cast<float>(0.01), 0), "Finishing Current Page");
}

TEST(StatusText, NoLimitSurfsOn) {
    EXPECT_EQ(StatusText(0.0f, 0), "Will surf until user interrupts me");
    EXPECT_EQ(StatusText(-1.0f, 0), "Will surf until user interrupts me");
    EXPECT_EQ(StatusText(0.0f, 100000), "Will surf until user interrupts me");
    EXPECT_EQ(StatusText(std::nanf(""), 0), "Will surf until user interrupts me");
}

TEST(StatusText, LargestAcceptedLimitCountsDownExactly) {
    EXPECT_EQ(StatusText(1e10f, 0), "Will stop in 10000000000 hours");
    EXPECT_EQ(StatusText(1e10f, 61), "Will stop in 9999999999 hours, 59 minutes");
    // Beyond 32 bits of minutes, and beyond the accepted range: still a countdown.
    EXPECT_EQ(StatusText(40e6f, 0), "Will stop in 40000000 hours");
    for (float hours : {1e11f, 1e30f, FLT_MAX, INFINITY}) {
        EXPECT_EQ(StatusText(hours, 0).rfind("Will stop in ", 0), 0u) << hours;
    }
}

TEST(StatusText, ClockSetBackAddsTimeWithoutOverflow) {
    EXPECT_EQ(StatusText(1.0f, -120), "Will stop in 1 hour, 2 minutes");
    EXPECT_EQ(StatusText(INFINITY, -3600).rfind("Will stop in ", 0), 0u);
}

class StatusLine : public SimTest {
protected:
    TestSurfer dialog_;
};

TEST_F(StatusLine, SurfingLayoutShowsTheCountdownInPlaceOfTheHours) {
    dialog_.m_nState = 1;
    dialog_.m_fHours = 1.5f;
    dialog_.m_tStart = desktop::Now() - 30 * kMinute;
    dialog_.RefreshStatus();
    EXPECT_FALSE(dialog_.Visible(IDC_HOURS));
    EXPECT_FALSE(dialog_.Visible(IDC_HOURS_LABEL));
    EXPECT_FALSE(dialog_.Visible(IDC_STOP_AFTER_LABEL));
    EXPECT_TRUE(dialog_.Visible(IDC_STATUS));
    EXPECT_EQ(dialog_.Text(IDC_STATUS), "Will stop in 1 hour");
}

TEST_F(StatusLine, IdleLayoutBringsTheHoursBackAndStopsTheStatusTimer) {
    dialog_.m_nState = 1;
    dialog_.RefreshStatus();
    desktop::SetTimer(dialog_.DialogWindow(), TIMER_STATUS, 1000);
    desktop::SetTimer(dialog_.DialogWindow(), TIMER_SURF, 7000);

    dialog_.m_nState = 0;
    dialog_.RefreshStatus();
    EXPECT_TRUE(dialog_.Visible(IDC_HOURS));
    EXPECT_TRUE(dialog_.Visible(IDC_HOURS_LABEL));
    EXPECT_TRUE(dialog_.Visible(IDC_STOP_AFTER_LABEL));
    EXPECT_FALSE(dialog_.Visible(IDC_STATUS));
    EXPECT_FALSE(sim::TimerPending(TIMER_STATUS));
    EXPECT_TRUE(sim::TimerPending(TIMER_SURF)) << "only the status timer is the status line's";
}

TEST_F(StatusLine, IdleRefreshWithoutATimerChangesNothingVisible) {
    const std::string hours = dialog_.Text(IDC_HOURS);
    dialog_.RefreshStatus();
    EXPECT_TRUE(dialog_.Visible(IDC_HOURS));
    EXPECT_FALSE(dialog_.Visible(IDC_STATUS));
    EXPECT_EQ(dialog_.Text(IDC_HOURS), hours);
    EXPECT_EQ(dialog_.Text(IDC_STATUS), "");
}

TEST_F(StatusLine, OtherStatesChangeNothing) {
    dialog_.m_nState = 2;
    const size_t mark = sim::Mark();
    dialog_.RefreshStatus();
    EXPECT_TRUE(sim::EventsSince(mark).empty());
}

}  // namespace
