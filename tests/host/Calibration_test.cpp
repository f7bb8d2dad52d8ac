// Recording the address bar's corners with the calibration button and tracing
// the rectangle, on the simulated desktop, in a folder of their own because
// every recorded corner is written to options.ini at once.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "framework/Random.h"
#include "res/Texts.h"
#include "store/Boundaries.h"
#include "tests/sim/SimDesktop.h"
#include "tests/sim/TestSurfer.h"

namespace {

using desktop::Point;
using desktop::Rect;
using sim::Kind;

constexpr const char* kSetCoordinates = TEXT_SET_COORDINATES;
constexpr const char* kRecordTopLeft = TEXT_RECORD_TOP_LEFT;
constexpr const char* kRecordBottomRight = TEXT_RECORD_BOTTOM_RIGHT;
constexpr const char* kTraceIdle = TEXT_TRACE;
constexpr const char* kTraceRunning = TEXT_TRACING;

// What options.ini holds before every test: a calibration of an earlier run.
constexpr Rect kEarlier{20, 30, 700, 52};

std::string Str(const Rect& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) +
           ", " + std::to_string(r.bottom) + ")";
}

std::string Str(const Point& p) { return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")"; }

std::string Str(const std::vector<Point>& points) {
    std::string out;
    for (const Point& p : points) out += Str(p) + " ";
    return out;
}

// The index in `moves` of each point of `route` in turn, each found after the
// one before; -1 from the first that is not there.
std::vector<int> FindInOrder(const std::vector<Point>& moves, const std::vector<Point>& route) {
    std::vector<int> at;
    size_t from = 0;
    for (const Point& p : route) {
        auto it = std::find(moves.begin() + static_cast<std::ptrdiff_t>(from), moves.end(), p);
        if (it == moves.end()) {
            at.resize(route.size(), -1);
            return at;
        }
        at.push_back(static_cast<int>(it - moves.begin()));
        from = static_cast<size_t>(it - moves.begin()) + 1;
    }
    return at;
}

class Calibration : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        sim::Reset();
        SeedRandom(20240611);
        WriteBoundaries(kBoundariesFile, kEarlier);
        surfer_ = std::make_unique<TestSurfer>();
        surfer_->m_rcAddressBar.LoadBoundaries();
        sim::SetForeground(surfer_->DialogWindow());
        sim::ClearEvents();
    }

    TestSurfer& Dialog() { return *surfer_; }

    // The user points at `p` and presses the calibration button (the space bar).
    void PressAt(Point p) {
        sim::PlaceCursor(p);
        surfer_->OnSetCoordinates();
    }

    // The dialog's message loop, its timer ticks going to the read-outs.
    void Idle(uint64_t ms) {
        sim::RunFor(ms, [this](desktop::Window, uintptr_t id) { surfer_->OnTrackTimer(id); });
    }

    // A whole calibration: the button, then the space bar on each corner.
    void Calibrate(Point topLeft, Point bottomRight) {
        PressAt(topLeft);
        PressAt(topLeft);
        PressAt(bottomRight);
    }

    void TraceFrom(Point p) {
        sim::PlaceCursor(p);
        surfer_->TraceAddressBar();
    }

    std::string Caption() { return Dialog().Text(IDC_SET_COORDS); }
    desktop::Window Control(int id) { return Dialog().Control(id); }

    static Rect InFile() {
        Rect r{-1, -1, -1, -1};
        EXPECT_TRUE(ReadBoundaries(kBoundariesFile, r));
        return r;
    }

    std::unique_ptr<TestSurfer> surfer_;
};

TEST_F(Calibration, FirstPressOnlyChangesTheCaptionAndStartsTheTopLeftReadout) {
    ASSERT_EQ(Caption(), kSetCoordinates);
    const std::string fileBefore = ReadFile(kBoundariesFile);
    const desktop::Window focusBefore = sim::Focused();

    PressAt(Point{300, 40});

    EXPECT_EQ(Caption(), kRecordTopLeft);
    const auto events = sim::Events();
    ASSERT_EQ(events.size(), 2u) << sim::Describe(events);
    EXPECT_EQ(events[0].kind, Kind::TextSet);
    EXPECT_EQ(events[1].kind, Kind::TimerSet);
    EXPECT_EQ(events[1].timerId, static_cast<uintptr_t>(TIMER_TRACK_TL));
    EXPECT_EQ(events[1].ms, 10u);
    EXPECT_EQ(Str(Dialog().m_rcAddressBar.Rect()), Str(kEarlier));
    EXPECT_EQ(ReadFile(kBoundariesFile), fileBefore);
    EXPECT_EQ(sim::Focused(), focusBefore);

    // The top-left readout follows the cursor; the other one is left alone.
    const std::string brBefore = Dialog().Text(IDC_BRC_POS);
    Idle(15);
    EXPECT_EQ(Dialog().Text(IDC_TLC_POS), "( 300, 40 )");
    sim::UserMovesTo(sim::NowMs() + 3, Point{112, 54});
    Idle(10);
    EXPECT_EQ(Dialog().Text(IDC_TLC_POS), "( 112, 54 )");
    EXPECT_EQ(Dialog().Text(IDC_BRC_POS), brBefore);
}

TEST_F(Calibration, EachRecordedCornerIsSavedAtOnceAndTheFocusMovesToTrace) {
    PressAt(Point{500, 500});
    Idle(30);

    // Second press: the new top-left corner with the bottom-right corner of before.
    const size_t second = sim::Mark();
    PressAt(Point{112, 54});
    EXPECT_EQ(Caption(), kRecordBottomRight);
    EXPECT_EQ(Str(InFile()), Str(Rect{112, 54, kEarlier.right, kEarlier.bottom}));
    EXPECT_EQ(Str(Dialog().m_rcAddressBar.Rect()), Str(InFile()));
    const auto captions = sim::TextsOf(Control(IDC_SET_COORDS), sim::EventsSince(second));
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[0].text, "Set Bottom Right Corner");
    EXPECT_EQ(captions[1].text, kRecordBottomRight);
    EXPECT_FALSE(sim::TimerPending(TIMER_TRACK_TL));
    EXPECT_EQ(sim::TimerOf(TIMER_TRACK_BR).periodMs, 10u);

    Idle(30);
    EXPECT_EQ(Dialog().Text(IDC_BRC_POS), "( 112, 54 )");

    // Third press: all four, the worked example of the file format.
    PressAt(Point{640, 75});
    EXPECT_EQ(Caption(), kSetCoordinates);
    EXPECT_EQ(Str(InFile()), Str(Rect{112, 54, 640, 75}));
    EXPECT_EQ(ReadFile(kBoundariesFile),
              "bottom_boundary=75\r\nleft_boundary=112\r\nright_boundary=640\r\ntop_boundary=54\r\n");
    EXPECT_TRUE(sim::PendingTimers().empty());
    EXPECT_EQ(sim::Focused(), Control(IDC_TRACE));

    // Nothing runs any more: a fourth press starts over.
    Idle(100);
    EXPECT_EQ(Str(Dialog().m_rcAddressBar.Rect()), Str(Rect{112, 54, 640, 75}));
    PressAt(Point{1, 1});
    EXPECT_EQ(Caption(), kRecordTopLeft);
}

TEST_F(Calibration, AStoppedReadoutKeepsItsLastTick) {
    PressAt(Point{300, 40});
    Idle(50);
    ASSERT_EQ(Dialog().Text(IDC_TLC_POS), "( 300, 40 )");

    // The mouse moves after the last tick and before the press: the corner is
    // where the press found it, the readout stays with the tick.
    sim::MoveCursorBy(5, 6);
    surfer_->OnSetCoordinates();
    EXPECT_EQ(Dialog().m_rcAddressBar.Rect().left, 305);
    EXPECT_EQ(Dialog().m_rcAddressBar.Rect().top, 46);
    Idle(100);
    EXPECT_EQ(Dialog().Text(IDC_TLC_POS), "( 300, 40 )");
    EXPECT_EQ(Dialog().Text(IDC_BRC_POS), "( 305, 46 )");

    // Standing still, the readout equals the corner recorded.
    surfer_->OnSetCoordinates();
    Idle(100);
    EXPECT_EQ(Dialog().m_rcAddressBar.Rect().right, 305);
    EXPECT_EQ(Dialog().m_rcAddressBar.Rect().bottom, 46);
    EXPECT_EQ(Dialog().Text(IDC_BRC_POS), "( 305, 46 )");
    EXPECT_EQ(Dialog().Text(IDC_TLC_POS), "( 300, 40 )");
}

TEST_F(Calibration, ACaptionOfNoStateMakesAPressDoNothing) {
    const std::string fileBefore = ReadFile(kBoundariesFile);
    for (const char* caption : {"set coordinates of address bar", "Set Bottom Right Corner",
                                "Hit Spacebar to Record Top Left ", ""}) {
        desktop::SetText(Control(IDC_SET_COORDS), caption);
        const size_t mark = sim::Mark();
        PressAt(Point{400, 400});
        EXPECT_TRUE(sim::EventsSince(mark).empty()) << '"' << caption << '"' << '\n'
                                                     << sim::Describe(sim::EventsSince(mark));
        EXPECT_EQ(Caption(), caption);
    }
    EXPECT_EQ(Str(Dialog().m_rcAddressBar.Rect()), Str(kEarlier));
    EXPECT_EQ(ReadFile(kBoundariesFile), fileBefore);
}

TEST_F(Calibration, TraceGlidesClockwiseOnceAndPutsCursorAndFocusBack) {
    Dialog().m_rcAddressBar.Record(Rect{100, 50, 900, 80});
    // The trace follows the rectangle in memory and leaves the file alone.
    WriteFile(kBoundariesFile, "edited behind our back\n");
    desktop::Focus(Control(IDC_TRACE));
    const Point start{20, 700};
    const uint64_t t0 = sim::NowMs();
    const size_t mark = sim::Mark();

    TraceFrom(start);

    const auto events = sim::EventsSince(mark);
    const auto moves = sim::Moves(events);
    ASSERT_GE(moves.size(), 3u);
    EXPECT_EQ(Str(moves.front()), Str(Point{100, 50}));  // at once on the top-left corner
    EXPECT_EQ(Str(moves.back()), Str(start));
    const std::vector<Point> corners{{900, 50}, {900, 80}, {100, 80}, {100, 50}, start};
    const auto at = FindInOrder(std::vector<Point>(moves.begin() + 1, moves.end()), corners);
    ASSERT_EQ(at.back() + 2, static_cast<int>(moves.size())) << Str(moves);
    // 800 pixels in 200 steps, 30 pixels in 30; one pixel per step at least.
    EXPECT_EQ(at[0] + 1, 200);
    EXPECT_EQ(at[1] - at[0], 30);
    EXPECT_EQ(at[2] - at[1], 200);
    EXPECT_EQ(at[3] - at[2], 30);

    // Jump, pause, caption painted at once, glides, pause, caption back,
    // cursor back, focus on Start/Stop.
    std::vector<sim::Event> outline;
    for (const sim::Event& e : events) {
        const bool onTrace = e.window == Control(IDC_TRACE);
        if (e.kind == Kind::CursorSet || e.kind == Kind::Sleep || e.kind == Kind::FocusSet ||
            ((e.kind == Kind::TextSet || e.kind == Kind::Repaint) && onTrace)) {
            outline.push_back(e);
        }
    }
    outline = sim::MergeSleeps(outline);
    ASSERT_GE(outline.size(), 9u) << sim::Describe(outline);
    EXPECT_EQ(outline[0].kind, Kind::CursorSet);
    EXPECT_EQ(outline[1].kind, Kind::Sleep);
    EXPECT_EQ(outline[1].ms, 300u);
    EXPECT_EQ(outline[2].kind, Kind::TextSet);
    EXPECT_EQ(outline[2].text, kTraceRunning);
    EXPECT_EQ(outline[3].kind, Kind::Repaint);
    const size_t n = outline.size();
    EXPECT_EQ(outline[n - 5].kind, Kind::CursorSet);  // the last glide step, onto the top-left corner
    EXPECT_EQ(outline[n - 4].kind, Kind::Sleep);
    EXPECT_EQ(outline[n - 4].ms, 5u + 300u);  // the last step's pause, then the closing pause
    EXPECT_EQ(outline[n - 3].kind, Kind::TextSet);
    EXPECT_EQ(outline[n - 3].text, kTraceIdle);
    EXPECT_EQ(outline[n - 2].kind, Kind::CursorSet);
    EXPECT_EQ(Str(outline[n - 2].pos), Str(start));
    EXPECT_EQ(outline[n - 1].kind, Kind::FocusSet);
    EXPECT_EQ(outline[n - 1].window, Control(IDOK));

    // Every glide step pauses 5 ms.
    const auto sleeps = sim::Sleeps(events);
    EXPECT_TRUE(std::all_of(sleeps.begin(), sleeps.end(), [](uint32_t ms) { return ms == 5; }));
    EXPECT_EQ(sim::SleptMs(events), 600u + 5u * (moves.size() - 2));
    EXPECT_EQ(sim::NowMs() - t0, sim::SleptMs(events));

    EXPECT_EQ(Str(sim::Cursor()), Str(start));
    EXPECT_EQ(sim::Focused(), Control(IDOK));
    EXPECT_EQ(Dialog().Text(IDC_TRACE), kTraceIdle);
    EXPECT_EQ(ReadFile(kBoundariesFile), "edited behind our back\n");
}

TEST_F(Calibration, ReversedCornersAreStoredAsRecordedAndTracedAroundTheSamePoints) {
    PressAt(Point{0, 0});
    PressAt(Point{600, 80});
    PressAt(Point{100, 40});
    EXPECT_EQ(Str(InFile()), Str(Rect{600, 80, 100, 40}));

    const size_t mark = sim::Mark();
    TraceFrom(Point{512, 400});
    const auto moves = sim::Moves(sim::EventsSince(mark));
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(Str(moves.front()), Str(Point{600, 80}));
    const std::vector<Point> corners{{100, 80}, {100, 40}, {600, 40}, {600, 80}, {512, 400}};
    const auto at = FindInOrder(std::vector<Point>(moves.begin() + 1, moves.end()), corners);
    EXPECT_EQ(at.back() + 2, static_cast<int>(moves.size())) << Str(moves);
}

TEST_F(Calibration, AZeroSizeRectangleIsTheTwoPausesAndTwoJumps) {
    PressAt(Point{0, 0});
    PressAt(Point{333, 66});
    PressAt(Point{333, 66});
    ASSERT_EQ(Str(InFile()), Str(Rect{333, 66, 333, 66}));

    const uint64_t t0 = sim::NowMs();
    const size_t mark = sim::Mark();
    TraceFrom(Point{800, 600});

    EXPECT_EQ(Str(sim::Moves(sim::EventsSince(mark))), Str(std::vector<Point>{{333, 66}, {800, 600}}));
    EXPECT_EQ(sim::NowMs() - t0, 600u);
    EXPECT_EQ(sim::Focused(), Control(IDOK));
}

TEST_F(Calibration, MovingTheMouseDuringATraceNeitherStopsItNorKeepsTheCursorAway) {
    Dialog().m_rcAddressBar.Record(Rect{100, 50, 900, 80});
    const Point start{20, 700};
    const uint64_t t0 = sim::NowMs();
    // A nudge in the first pause, one into the first leg, one into the third.
    sim::UserMovesBy(t0 + 100, 40, 40);
    sim::UserMovesBy(t0 + 150, 40, 40);
    sim::UserMovesBy(t0 + 500, 0, 30);
    sim::UserMovesBy(t0 + 300 + 5 * 230 + 300, 0, -20);

    const size_t mark = sim::Mark();
    TraceFrom(start);

    const auto moves = sim::Moves(sim::EventsSince(mark));
    // The first leg was cut short, the second and fourth ran to their corners.
    EXPECT_EQ(std::count(moves.begin(), moves.end(), Point{900, 50}), 0) << Str(moves);
    const auto at = FindInOrder(moves, {{900, 80}, {100, 50}, start});
    EXPECT_EQ(at.back() + 1, static_cast<int>(moves.size())) << Str(moves);
    EXPECT_EQ(Str(sim::Cursor()), Str(start));
    EXPECT_EQ(sim::Focused(), Control(IDOK));
    EXPECT_EQ(Dialog().Text(IDC_TRACE), kTraceIdle);

    // A user who never lets go of the mouse: every leg stops at once.
    const size_t again = sim::Mark();
    const uint64_t t1 = sim::NowMs();
    for (uint64_t t = 1; t < 3000; t += 7) sim::UserMovesBy(t1 + t, (t % 2) ? 9 : -8, 3);
    TraceFrom(start);
    EXPECT_EQ(Str(sim::Cursor()), Str(start));
    EXPECT_EQ(Str(sim::Moves(sim::EventsSince(again)).back()), Str(start));
    EXPECT_EQ(sim::Focused(), Control(IDOK));
}

TEST_F(Calibration, ATraceBetweenTheTwoRecordingPressesUsesTheNewTopLeftAndTheOldBottomRight) {
    PressAt(Point{0, 0});
    Idle(20);
    PressAt(Point{200, 10});

    const size_t mark = sim::Mark();
    TraceFrom(Point{512, 600});
    const auto moves = sim::Moves(sim::EventsSince(mark));
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(Str(moves.front()), Str(Point{200, 10}));
    const std::vector<Point> corners{{kEarlier.right, 10},
                                     {kEarlier.right, kEarlier.bottom},
                                     {200, kEarlier.bottom},
                                     {200, 10},
                                     {512, 600}};
    const auto at = FindInOrder(std::vector<Point>(moves.begin() + 1, moves.end()), corners);
    EXPECT_EQ(at.back() + 2, static_cast<int>(moves.size())) << Str(moves);

    // The trace is no press: the bottom-right corner is still awaited.
    EXPECT_EQ(Caption(), kRecordBottomRight);
    EXPECT_TRUE(sim::TimerPending(TIMER_TRACK_BR));
    PressAt(Point{640, 75});
    EXPECT_EQ(Str(InFile()), Str(Rect{200, 10, 640, 75}));
}

}  // namespace

namespace {

// The browser is the program under the corners, noted as each is recorded and
// kept after the four boundaries; over the desktop no program is noted, and
// the one noted before stays. A session takes it from the file.
TEST_F(Calibration, TheProgramUnderTheCornersIsTheBrowser) {
    sim::AddDesktop();
    const desktop::Window browser = sim::AddWindow("Browser", Rect{0, 0, 1024, 200});
    sim::Win(browser).program = "browser.exe";
    Calibrate(Point{112, 54}, Point{640, 75});
    EXPECT_EQ(FormatBoundaries(Rect{112, 54, 640, 75}, "browser.exe"), ReadFile(kBoundariesFile));

    sim::DestroyWindow(browser);
    Calibrate(Point{112, 400}, Point{640, 420});
    EXPECT_EQ(FormatBoundaries(Rect{112, 400, 640, 420}, "browser.exe"), ReadFile(kBoundariesFile));
    Dialog().OnStartStop();
    EXPECT_EQ("browser.exe", Dialog().m_strBrowser);
}

// options.ini held by another program: the save waits a moment for it. One
// that still cannot be made is told once, naming the file, and the corners
// are used all the same (Start does not load the file over them) until they
// can be saved.
TEST_F(Calibration, ACornerThatCannotBeSavedIsToldAndKept) {
    sim::HoldFile(kBoundariesFile, sim::NowMs() + 500);
    Calibrate(Point{112, 54}, Point{640, 75});
    EXPECT_TRUE(sim::MessageBoxes().empty());
    EXPECT_EQ(Str(Rect{112, 54, 640, 75}), Str(InFile()));

    sim::HoldFile(kBoundariesFile);
    Calibrate(Point{10, 20}, Point{30, 40});
    const std::vector<sim::MessageBoxCall> boxes = sim::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find(desktop::FullPath(kBoundariesFile))) << boxes[0].text;
    EXPECT_EQ("Veruvo", boxes[0].caption);
    EXPECT_EQ(Str(Rect{112, 54, 640, 75}), Str(InFile()));
    Dialog().m_rcAddressBar.LoadBoundaries();
    EXPECT_EQ(Str(Rect{10, 20, 30, 40}), Str(Dialog().m_rcAddressBar.Rect()));

    sim::HoldFile(kBoundariesFile, 0);
    Dialog().m_rcAddressBar.LoadBoundaries();
    EXPECT_EQ(Str(Rect{10, 20, 30, 40}), Str(InFile()));
}

}  // namespace
