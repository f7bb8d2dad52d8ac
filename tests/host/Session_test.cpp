// Surf sessions on the simulated desktop, in virtual time: Start and Stop, the
// timers, the time limit, the user taking the mouse, and the summary.
#include <algorithm>
#include <functional>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/SessionTime.h"
#include "store/Boundaries.h"
#include "res/Texts.h"
#include "tests/host/SurfWorld.h"

namespace {

const std::string kSummary = "User has interrupted Nimbrel Veruvo.\nSurfed ";

class SessionTest : public SurfTest {
protected:
    // The user types into the hours field.
    void TypeHours(const std::string& text) { sim::Win(surfer->Control(IDC_HOURS)).text = text; }

    void RunFor(uint64_t ms) { surfer->RunFor(ms); }

    // The user takes the mouse `delayMs` after the first key event of kind
    // `kind` for `vk` from now on.
    void TakeTheMouseAfter(sim::Kind kind, uint8_t vk, uint64_t delayMs = 100,
                           std::function<void()> first = nullptr) {
        AfterEvent(Key(kind, vk), [=] {
            if (first) first();
            sim::UserMovesBy(sim::NowMs() + delayMs, 60, 0);
            sim::UserMovesBy(sim::NowMs() + delayMs + 10, 0, 60);
        });
    }

    size_t CountOf(sim::Kind kind, size_t since = 0) const {
        return sim::Only(sim::EventsSince(since), {kind}).size();
    }

    bool IdleLayout() const {
        return surfer->Visible(IDC_HOURS) && surfer->Visible(IDC_HOURS_LABEL) &&
               surfer->Visible(IDC_STOP_AFTER_LABEL) && !surfer->Visible(IDC_STATUS);
    }
};

}  // namespace

TEST(SummaryTextTest, PagesAndHoursAndMinutes) {
    EXPECT_EQ(kSummary + "0 pages in 0:00", SummaryText(0, 0));
    EXPECT_EQ(kSummary + "1 page in 1:02", SummaryText(1, 3600 + 2 * 60 + 5));
    EXPECT_EQ(kSummary + "12 pages in 10:00", SummaryText(12, 10 * 3600));
    EXPECT_EQ(kSummary + "2 pages in 0:00", SummaryText(2, 59));
    // Past what 32 bits of seconds hold: a million hours.
    EXPECT_EQ(kSummary + "3 pages in 1000000:00", SummaryText(3, 3600LL * 1000000));
}

TEST(SessionTimeTest, TheLimitCountsWholeMinutes) {
    EXPECT_TRUE(LimitReached(0.01f, 0)) << "0.6 minutes make a limit of 0 whole minutes";
    EXPECT_FALSE(LimitReached(1.5f, 90 * 60 - 1));
    EXPECT_TRUE(LimitReached(1.5f, 90 * 60));
    EXPECT_EQ(19, LimitMinutes(0.333333f)) << "the stored float times 60 is just under 20";
    for (float none : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_FALSE(LimitReached(none, std::numeric_limits<int64_t>::max())) << none;
    }
}

TEST(SessionTimeTest, HugeLimitsNeitherOverflowNorEndAtOnce) {
    const int64_t century = 100LL * 365 * 24 * 3600;
    EXPECT_EQ(600000000000LL, LimitMinutes(1e10f));  // the largest accepted limit
    EXPECT_FALSE(LimitReached(1e10f, century));
    EXPECT_FALSE(LimitReached(1e11f, century));  // kept after the range message
    EXPECT_EQ(std::numeric_limits<int64_t>::max(), LimitMinutes(std::numeric_limits<float>::max()));
    EXPECT_EQ(std::numeric_limits<int64_t>::max(), LimitMinutes(std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(LimitReached(std::numeric_limits<float>::infinity(), century));
}

TEST(SessionTimeTest, AnInterruptionLowersTheLimitByTheWholeMinutesSurfed) {
    EXPECT_EQ(1.25f, HoursLeft(2.0f, 45 * 60 + 59));
    EXPECT_EQ(2.0f, HoursLeft(2.0f, 59));
    EXPECT_NEAR(-1.0 / 6, HoursLeft(0.5f, 40 * 60), 1e-6) << "past the limit it goes below zero";
}

TEST_F(SessionTest, StartReloadsTracesAndArmsBothTimers) {
    // The calibration has saved a new rectangle since the dialog loaded the old one.
    const desktop::Rect saved{5, 6, 700, 30};
    WriteBoundaries(kBoundariesFile, saved);
    surfer->m_nPages = 7;  // from an earlier session
    TypeHours("1.5");

    surfer->OnStartStop();

    EXPECT_EQ(saved, surfer->m_rcAddressBar.Rect());
    EXPECT_EQ(0u, surfer->m_nPages);
    EXPECT_EQ(1.5f, surfer->m_fHours);
    EXPECT_EQ(sim::Epoch(), surfer->m_tStart) << "taken before the trace, which takes seconds";
    EXPECT_GT(desktop::Now(), surfer->m_tStart);
    EXPECT_EQ(TEXT_STOP, surfer->Text(IDOK));
    const std::vector<desktop::Point> moves = sim::Moves();
    for (desktop::Point corner : {desktop::Point{saved.right, saved.top}, desktop::Point{saved.right, saved.bottom},
                                  desktop::Point{saved.left, saved.bottom}, desktop::Point{saved.left, saved.top}}) {
        EXPECT_NE(moves.end(), std::find(moves.begin(), moves.end(), corner)) << "the trace reaches every corner";
    }
    const std::vector<sim::Event> timers = sim::Only(sim::Events(), {sim::Kind::TimerSet, sim::Kind::CursorSet});
    ASSERT_GE(timers.size(), 2u);
    EXPECT_EQ(sim::Kind::TimerSet, timers[timers.size() - 2].kind) << "both timers are armed after the trace";
    EXPECT_EQ(1000u, sim::TimerOf(TIMER_STATUS).periodMs);
    EXPECT_GE(sim::TimerOf(TIMER_SURF).periodMs, 5000u);
    EXPECT_LE(sim::TimerOf(TIMER_SURF).periodMs, 10000u);

    // The hours stay in view for the first second, then the countdown takes their place.
    EXPECT_EQ(0, surfer->m_nState);
    EXPECT_TRUE(IdleLayout());
    RunFor(1000);
    EXPECT_EQ(1, surfer->m_nState);
    EXPECT_FALSE(IdleLayout());
    EXPECT_TRUE(surfer->Visible(IDC_STATUS));
    EXPECT_EQ("Will stop in 1 hour, 30 minutes", surfer->Text(IDC_STATUS));
}

// The countdown appears whatever the user presses in the first second, and
// whichever tick comes first after a long press.
TEST_F(SessionTest, TheCountdownAppearsWhateverIsPressedFirst) {
    const std::function<void()> firstSecond[] = {
        [this] { surfer->TraceAddressBar(); },
        // The loop may deliver the overdue surf tick before the status tick.
        [this] { surfer->OnSurferTimer(TIMER_SURF); },
    };
    for (const auto& press : firstSecond) {
        Build(kSeed);
        TypeHours("2");
        surfer->OnStartStop();
        RunFor(500);
        const size_t mark = sim::Mark();
        press();
        EXPECT_TRUE(sim::TimerPending(TIMER_STATUS)) << "the status tick was stopped";
        RunFor(1000);
        EXPECT_TRUE(surfer->Visible(IDC_STATUS));
        EXPECT_FALSE(surfer->Visible(IDC_HOURS));
        const std::vector<sim::Event> shown = sim::TextsOf(surfer->Control(IDC_STATUS), sim::EventsSince(mark));
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ("Will stop in 2 hours", shown.front().text);
        const std::vector<sim::Event> clicks = sim::Only(sim::EventsSince(mark), {sim::Kind::LeftDown});
        if (!clicks.empty()) {
            EXPECT_LE(shown.front().atMs, clicks.front().atMs) << "shown from the visit's first wait";
        }
    }
}

TEST_F(SessionTest, TheFirstVisitOfASessionGoesToTheSponsors) {
    TypeHours("0");
    surfer->OnStartStop();
    const uint64_t started = sim::NowMs();
    const size_t mark = sim::Mark();
    RunFor(10000);
    const std::vector<sim::Event> clicks = sim::Only(sim::EventsSince(mark), {sim::Kind::LeftDown});
    ASSERT_EQ(1u, clicks.size());
    EXPECT_GE(clicks[0].atMs, started + 5000);
    EXPECT_EQ("Will surf until user interrupts me", surfer->Text(IDC_STATUS));

    while (!sim::TimerPending(TIMER_SURF)) RunFor(1000);  // the visit ends and the next one is due
    EXPECT_EQ(std::vector<std::string>{kSponsors}, sim::ReplayIntoField(sim::EventsSince(mark)).submitted);
    EXPECT_EQ(1u, surfer->m_nPages);
    EXPECT_EQ(browser, surfer->m_hBrowser);
}

// A window captured in an earlier session is never brought forward, moved or
// restored in a later one, even while it lives on elsewhere.
TEST_F(SessionTest, EachSessionStartsWithNoBrowser) {
    TypeHours("0");
    surfer->OnStartStop();
    while (surfer->m_nPages == 0 || !sim::TimerPending(TIMER_SURF)) RunFor(1000);
    ASSERT_EQ(browser, surfer->m_hBrowser);
    surfer->OnStartStop();

    // The user moves it aside, so that nothing lies under the address bar:
    // the visits find no window to click, type nothing and count nothing.
    sim::DestroyWindow(toolbar);
    sim::Win(browser).rect = desktop::Rect{600, 400, 900, 600};
    const size_t mark = sim::Mark();
    surfer->OnStartStop();
    EXPECT_EQ(nullptr, surfer->m_hBrowser);
    RunUntilVisitsEnded(mark, 3);  // Start's arming counts as one
    EXPECT_EQ(0u, CountOf(sim::Kind::LeftDown, mark));
    for (const sim::Event& e : sim::EventsSince(mark)) {
        const bool touched = e.kind == sim::Kind::Foreground || e.kind == sim::Kind::Restore;
        EXPECT_FALSE(touched && e.window == browser) << sim::Describe(e);
    }
    EXPECT_EQ(0u, surfer->m_nPages);
    EXPECT_TRUE(sim::KeyEvents(sim::EventsSince(mark)).empty());
}

TEST_F(SessionTest, TakingTheMouseEndsTheSessionAndLeavesTheRestOfTheHours) {
    TypeHours("2");
    sim::SetForeground(browser);
    surfer->OnStartStop();
    // As if the session had run for 45:59 when the page starts to load and
    // the user takes the mouse.
    TakeTheMouseAfter(sim::Kind::KeyUp, desktop::kVkReturn, 100,
                      [this] { surfer->m_tStart = desktop::Now() - (45 * 60 + 59); });
    const size_t mark = sim::Mark();
    RunFor(60000);

    const std::vector<sim::MessageBoxCall> boxes = sim::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kSummary + "1 page in 0:45", boxes[0].text);
    EXPECT_EQ("Nimbrel Veruvo Idle", boxes[0].caption);
    EXPECT_EQ(0x30u, boxes[0].flags);
    EXPECT_EQ(surfer->DialogWindow(), boxes[0].owner);
    EXPECT_EQ(1.25f, surfer->m_fHours);
    EXPECT_EQ("1.25", surfer->Text(IDC_HOURS));
    EXPECT_EQ(TEXT_START, surfer->Text(IDOK));
    EXPECT_EQ(0, surfer->m_nState);
    EXPECT_TRUE(IdleLayout());
    EXPECT_TRUE(sim::PendingTimers().empty());
    EXPECT_EQ(1u, surfer->m_nPages);

    // The dialog comes forward before the box (borrowing the foreground's
    // input) and again after it (without).
    std::vector<sim::Event> around;
    for (const sim::Event& e : sim::EventsSince(mark)) {
        if (e.kind == sim::Kind::MessageBox || e.kind == sim::Kind::Attach ||
            (e.kind == sim::Kind::Foreground && e.window == surfer->DialogWindow())) {
            around.push_back(e);
        }
    }
    std::vector<std::string> seen;
    for (const sim::Event& e : around) {
        if (e.kind == sim::Kind::MessageBox) seen.push_back("box");
        if (e.kind == sim::Kind::Attach) seen.push_back(e.on ? "attach" : "detach");
        if (e.kind == sim::Kind::Foreground) seen.push_back("front");
    }
    EXPECT_EQ((std::vector<std::string>{"attach", "front", "detach", "box", "front"}), seen);
}

TEST_F(SessionTest, TakingTheMouseWhileTypingCountsNoPageAndKeepsANoLimitAtZero) {
    TypeHours("0");
    surfer->OnStartStop();
    TakeTheMouseAfter(sim::Kind::KeyUp, 'W');  // the first letter of the sponsors' host
    const size_t mark = sim::Mark();
    RunFor(60000);

    const std::vector<sim::MessageBoxCall> boxes = sim::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kSummary + "0 pages in 0:00", boxes[0].text);
    EXPECT_EQ("Nimbrel Veruvo Idle", boxes[0].caption);
    EXPECT_TRUE(sim::ReplayIntoField(sim::EventsSince(mark)).submitted.empty()) << "Enter was not pressed";
    EXPECT_EQ(0.0f, surfer->m_fHours);
    EXPECT_EQ("0", surfer->Text(IDC_HOURS));
    EXPECT_TRUE(sim::PendingTimers().empty());
}

TEST_F(SessionTest, AHundredthOfAnHourEndsAtTheFirstTickWithoutAVisit) {
    TypeHours("0.01");
    surfer->OnStartStop();
    const size_t mark = sim::Mark();
    RunFor(60000);

    const std::vector<sim::MessageBoxCall> boxes = sim::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kSummary + "0 pages in 0:00", boxes[0].text);
    EXPECT_EQ("Done Surfing", boxes[0].caption);
    EXPECT_EQ(0x30u, boxes[0].flags);
    EXPECT_EQ(0u, CountOf(sim::Kind::LeftDown, mark));
    EXPECT_EQ(0u, CountOf(sim::Kind::KeyDown, mark));
    EXPECT_TRUE(sim::PendingTimers().empty());
    EXPECT_EQ(TEXT_START, surfer->Text(IDOK));
    EXPECT_EQ("0.01", surfer->Text(IDC_HOURS)) << "the limit is left as entered";
    EXPECT_TRUE(IdleLayout());

    // The dialog comes forward after the box.
    const std::vector<sim::Event> after = sim::EventsSince(mark);
    const auto box = std::find_if(after.begin(), after.end(),
                                  [](const sim::Event& e) { return e.kind == sim::Kind::MessageBox; });
    ASSERT_NE(after.end(), box);
    EXPECT_TRUE(std::none_of(after.begin(), box, [](const sim::Event& e) { return e.kind == sim::Kind::Foreground; }));
    EXPECT_TRUE(std::any_of(box, after.end(), [&](const sim::Event& e) {
        return e.kind == sim::Kind::Foreground && e.window == surfer->DialogWindow();
    }));
}

TEST_F(SessionTest, AnHourAndAHalfEndsAtTheFirstTickAfterNinetyMinutes) {
    TypeHours("1.5");
    surfer->OnStartStop();
    const uint64_t limitMs = 90 * 60 * 1000;
    // Ninety minutes of visits, looked at a minute at a time.
    std::vector<uint64_t> clicks;
    uint64_t finishing = 0;
    while (sim::MessageBoxes().empty() && sim::NowMs() < limitMs + 10 * 60 * 1000) {
        sim::ClearEvents();
        RunFor(60 * 1000);
        for (const sim::Event& e : sim::Only(sim::Events(), {sim::Kind::LeftDown})) clicks.push_back(e.atMs);
        for (const sim::Event& e : sim::TextsOf(surfer->Control(IDC_STATUS))) {
            if (e.text == "Finishing Current Page" && finishing == 0) finishing = e.atMs;
        }
    }

    const std::vector<sim::MessageBoxCall> boxes = sim::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Done Surfing", boxes[0].caption);
    EXPECT_GE(boxes[0].atMs, limitMs);
    ASSERT_FALSE(clicks.empty());
    EXPECT_LT(clicks.back(), limitMs) << "no visit starts after the limit";
    EXPECT_EQ(clicks.size(), surfer->m_nPages);
    const int64_t minutes = static_cast<int64_t>(boxes[0].atMs / 1000 / 60);
    EXPECT_EQ(kSummary + std::to_string(surfer->m_nPages) + " pages in 1:" + std::to_string(minutes - 60),
              boxes[0].text);
    // The visit that was running when the limit passed said so.
    EXPECT_GE(finishing, limitMs);
    EXPECT_LT(finishing, boxes[0].atMs);
}

TEST_F(SessionTest, StopBetweenVisitsEndsSilently) {
    TypeHours("2");
    surfer->OnStartStop();
    while (surfer->m_nPages == 0 || !sim::TimerPending(TIMER_SURF)) RunFor(1000);  // one visit done
    RunFor(1000);
    ASSERT_FALSE(IdleLayout());

    // Meanwhile the calibration saved a new rectangle.
    const desktop::Rect recorded{10, 20, 300, 40};
    WriteBoundaries(kBoundariesFile, recorded);

    surfer->OnStartStop();
    EXPECT_EQ(TEXT_START, surfer->Text(IDOK));
    EXPECT_TRUE(sim::PendingTimers().empty());
    EXPECT_EQ(0, surfer->m_nState);
    EXPECT_TRUE(IdleLayout());
    EXPECT_EQ("2", surfer->Text(IDC_HOURS));
    EXPECT_EQ(2.0f, surfer->m_fHours);
    EXPECT_EQ(1u, surfer->m_nPages);
    EXPECT_EQ(recorded, surfer->m_rcAddressBar.Rect()) << "Stop rereads the file too";

    const size_t mark = sim::Mark();
    RunFor(10 * 60 * 1000);
    EXPECT_TRUE(sim::MessageBoxes().empty());
    EXPECT_TRUE(sim::InputEvents(sim::EventsSince(mark)).empty());
}

TEST_F(SessionTest, AnHoursTextThatIsNoNumberIsToldAndTheSessionStartsWithThePreviousLimit) {
    surfer->m_fHours = 1.5f;  // from the previous Start
    TypeHours("abc");
    surfer->OnStartStop();
    const std::vector<sim::MessageBoxCall> boxes = sim::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Please enter a number.", boxes[0].text);
    EXPECT_EQ(1.5f, surfer->m_fHours);
    EXPECT_EQ(TEXT_STOP, surfer->Text(IDOK));
    EXPECT_TRUE(sim::TimerPending(TIMER_SURF));
    EXPECT_TRUE(sim::TimerPending(TIMER_STATUS));
}

// A failure nobody expected inside a handler (memory running out, say) ends
// the session quietly and leaves the program idle and working.
TEST_F(SessionTest, AnUnexpectedFailureInAHandlerEndsTheSessionQuietly) {
    struct Case {
        const char* what;
        std::function<void()> run;  // a session, with the failure somewhere in it
    };
    const Case cases[] = {
        {"memory runs out in a visit",
         [this] {
             surfer->OnSurferCommand(IDOK);
             TakeTheMouseAfter(sim::Kind::KeyUp, desktop::kVkHome, 0, [] { throw std::bad_alloc(); });
             RunFor(60000);
         }},
        {"a failure in the trace of Start",
         [this] {
             sim::At(sim::NowMs() + 1000, [] { throw std::runtime_error("unexpected"); });
             surfer->OnSurferCommand(IDOK);
         }},
        {"a failure in the live read-out of a calibration",
         [this] {
             surfer->OnSurferCommand(IDOK);
             RunFor(1000);
             surfer->OnSurferCommand(IDC_SET_COORDS);
             sim::At(sim::NowMs() + 15, [] { sim::OnCursorRead(1, [] { throw std::runtime_error("unexpected"); }); });
             RunFor(1000);
         }},
    };
    const std::string options = ReadFile("options.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Build(kSeed);
        TypeHours("2");
        ASSERT_NO_THROW(c.run());

        EXPECT_EQ(TEXT_START, surfer->Text(IDOK));
        EXPECT_EQ("Set Coordinates of Address Bar", surfer->Text(IDC_SET_COORDS));
        EXPECT_EQ("Trace Address Bar", surfer->Text(IDC_TRACE));
        EXPECT_EQ(0, surfer->m_nState);
        EXPECT_TRUE(IdleLayout());
        EXPECT_TRUE(sim::PendingTimers().empty());
        EXPECT_TRUE(sim::MessageBoxes().empty()) << "neither the user nor the limit ended it";
        EXPECT_EQ("2", surfer->Text(IDC_HOURS));
        EXPECT_EQ(options, ReadFile("options.ini"));

        // And the program carries on: the next Start surfs from the sponsors page.
        const size_t mark = sim::Mark();
        surfer->OnSurferCommand(IDOK);
        while (surfer->m_nPages == 0 || !sim::TimerPending(TIMER_SURF)) RunFor(1000);
        EXPECT_EQ(std::vector<std::string>{kSponsors}, sim::ReplayIntoField(sim::EventsSince(mark)).submitted);
        EXPECT_EQ(TEXT_STOP, surfer->Text(IDOK));
    }
}

TEST_F(SessionTest, TheTimerDispatchTakesOnlyItsOwnIds) {
    sim::PlaceCursor(desktop::Point{321, 123});
    EXPECT_TRUE(surfer->OnSurferTimer(TIMER_TRACK_TL));
    EXPECT_EQ("( 321, 123 )", surfer->Text(IDC_TLC_POS));
    EXPECT_TRUE(surfer->OnSurferTimer(TIMER_TRACK_BR));
    EXPECT_EQ("( 321, 123 )", surfer->Text(IDC_BRC_POS));
    EXPECT_TRUE(surfer->OnSurferTimer(TIMER_STATUS));
    EXPECT_EQ(1, surfer->m_nState);

    const size_t mark = sim::Mark();
    for (uintptr_t other : {uintptr_t{0}, uintptr_t{100}, uintptr_t{105}, uintptr_t{0xFFFF}}) {
        EXPECT_FALSE(surfer->OnSurferTimer(other)) << other;
    }
    EXPECT_TRUE(sim::EventsSince(mark).empty());
}

namespace {

// The user presses a key, a button or the wheel (or holds a modifier) `delayMs`
// after the first event of the session's first visit of kind `after` (for
// kTimerSet, the visit's end) for key `vk`.
struct UserActCase {
    const char* name;
    sim::Kind after;
    uint8_t vk;
    uint64_t delayMs;
    bool holdsModifier;
    bool ends;
    uint32_t pages;
};

void PrintTo(const UserActCase& c, std::ostream* os) { *os << c.name; }

class UserTakesTheKeyboard : public SessionTest, public ::testing::WithParamInterface<UserActCase> {};

}  // namespace

// A key, a button or a wheel turn of the user's during a visit ends the
// session with its summary at once, as taking the mouse does, and so does a
// key of ours that is due while the user holds a modifier: no key goes out
// after it. Between visits nothing is watched.
TEST_P(UserTakesTheKeyboard, EndsTheSessionWithItsSummary) {
    const UserActCase& c = GetParam();
    TypeHours("0");
    surfer->OnStartStop();
    uint64_t actedAt = 0;
    AfterEvent(
        [&c](const sim::Event& e) {
            return e.kind == c.after && (c.after == sim::Kind::TimerSet ? e.timerId == TIMER_SURF : e.vk == c.vk);
        },
        [&] {
            actedAt = sim::NowMs() + c.delayMs;
            c.holdsModifier ? sim::HoldModifier(true) : sim::UserPressesAt(actedAt);
        });
    RunFor(c.ends ? 120000 : 240000);

    const std::vector<sim::MessageBoxCall> boxes = sim::MessageBoxes();
    ASSERT_EQ(c.ends ? 1u : 0u, boxes.size());
    EXPECT_EQ(!c.ends, surfer->m_nPages >= 2u);
    if (!c.ends) return;
    EXPECT_EQ(kSummary + std::to_string(c.pages) + (c.pages == 1 ? " page" : " pages") + " in 0:00", boxes[0].text);
    EXPECT_TRUE(c.holdsModifier || boxes[0].atMs <= actedAt + 5) << "not at once";
    for (const sim::Event& e : sim::KeyEvents()) EXPECT_LE(e.atMs, actedAt) << sim::Describe(e);
}

using K = sim::Kind;
const UserActCase kUserActCases[] = {
    {"AButtonWhileTheBarIsCleared", K::KeyUp, desktop::kVkHome, 50, false, true, 0},
    {"AModifierHeldWhenTheAddressIsDue", K::KeyUp, desktop::kVkDelete, 0, true, true, 0},
    {"AKeyWhileThePageLoads", K::KeyUp, desktop::kVkReturn, 100, false, true, 1},
    {"TheWheelWhileThePageIsRead", K::KeyUp, desktop::kVkReturn, 30000, false, true, 1},
    {"AKeyBetweenVisits", K::TimerSet, 0, 1000, false, false, 0},
};

INSTANTIATE_TEST_SUITE_P(Session, UserTakesTheKeyboard, ::testing::ValuesIn(kUserActCases),
                         [](const ::testing::TestParamInfo<UserActCase>& info) { return info.param.name; });
