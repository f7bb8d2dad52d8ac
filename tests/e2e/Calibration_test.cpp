// The address-bar calibration and the trace, driven the way a user does it: the
// cursor put on a corner, the button focused and the space bar pressed. A trace
// blocks the program's thread, so it is watched from here by sampling the cursor
// and reading the trace button's stored caption, which needs no answer from the
// program.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

// A rectangle whose every side takes a glide of the full 200 steps, so that the
// trace lasts long enough to be disturbed leg by leg.
constexpr RECT kWideBar{200, 150, 800, 350};

bool Near(POINT a, POINT b, LONG tolerance) {
    return std::labs(a.x - b.x) <= tolerance && std::labs(a.y - b.y) <= tolerance;
}

// What the test saw at one moment of a trace.
struct Sample {
    long long ms;       // since the space bar went down
    POINT cursor;
    bool tracing;       // the trace button read "Tracing Address Bar"
};

std::string Describe(const std::vector<Sample>& samples) {
    std::ostringstream out;
    POINT last{-99999, -99999};
    bool lastTracing = false;
    for (const Sample& s : samples) {
        if (Same(s.cursor, last) && s.tracing == lastTracing) continue;
        out << s.ms << " ms " << ToString(s.cursor) << (s.tracing ? " tracing" : "") << "\n";
        last = s.cursor;
        lastTracing = s.tracing;
    }
    return out.str();
}

// The index of the first sample from `from` on whose cursor is within
// `tolerance` of `point`; -1 when there is none.
int FindNear(const std::vector<Sample>& samples, size_t from, POINT point, LONG tolerance) {
    for (size_t i = from; i < samples.size(); ++i) {
        if (Near(samples[i].cursor, point, tolerance)) return static_cast<int>(i);
    }
    return -1;
}

class Calibration : public ProgramTest {
protected:
    // Presses the space bar on the focused trace button and samples until the
    // caption has come back, calling `user` after each sample to play a user who
    // moves the mouse meanwhile. The last sample is taken once the focus is on
    // IDOK, which the trace does last, after putting the cursor back.
    std::vector<Sample> WatchTrace(const std::function<void(const Sample&)>& user = nullptr) const {
        HWND trace = Control(IDC_TRACE);
        std::vector<Sample> samples;
        bool seenTracing = false;
        const auto start = Clock::now();
        PressKey(VK_SPACE);
        while (ElapsedMs(start) < kPatience.count()) {
            const Sample s{ElapsedMs(start), CursorNow(), StoredTextOf(trace) == kTraceRunning};
            samples.push_back(s);
            seenTracing = seenTracing || s.tracing;
            if (seenTracing && !s.tracing) break;
            if (user) user(s);
            Sleep(1);
        }
        WaitUntil([&] { return FocusIn(dialog) == Control(IDOK); }, Millis(5000));
        samples.push_back(Sample{ElapsedMs(start), CursorNow(), StoredTextOf(trace) == kTraceRunning});
        return samples;
    }

    // The trace's end as the user sees it: everything back where it was.
    void ExpectPutBack(const std::vector<Sample>& samples, POINT start) const {
        EXPECT_TRUE(Same(samples.back().cursor, start)) << "the cursor ended at " << ToString(samples.back().cursor);
        EXPECT_FALSE(samples.back().tracing);
        EXPECT_EQ(FocusIn(dialog), Control(IDOK));
        EXPECT_EQ(Text(IDC_TRACE), kTraceIdle);
        EXPECT_FALSE(program->HasExited());
    }
};

TEST_F(Calibration, SpaceBarRecordsEachCornerWhereTheCursorIsAndSavesItAtOnce) {
    const RECT earlier{20, 30, 700, 52};
    ASSERT_NO_FATAL_FAILURE(StartWith(earlier));
    ASSERT_EQ(Text(IDC_SET_COORDS), kSetCoordinates);

    // The button pressed: only the caption changes, and the top-left read-out
    // follows the cursor.
    ASSERT_NO_FATAL_FAILURE(PutCursor({300, 200}));
    ASSERT_NO_FATAL_FAILURE(FocusOn(IDC_SET_COORDS));
    PressKey(VK_SPACE);
    ASSERT_TRUE(Becomes(IDC_SET_COORDS, kRecordTopLeft)) << Text(IDC_SET_COORDS);
    EXPECT_TRUE(Becomes(IDC_TLC_POS, "( 300, 200 )")) << Text(IDC_TLC_POS);
    ASSERT_NO_FATAL_FAILURE(PutCursor({301, 207}));
    EXPECT_TRUE(Becomes(IDC_TLC_POS, "( 301, 207 )")) << Text(IDC_TLC_POS);
    EXPECT_EQ(folder.Read("options.ini"), OptionsFileOf(earlier));
    EXPECT_EQ(Text(IDC_BRC_POS), Corner({earlier.right, earlier.bottom}));

    // On the top-left corner: saved with the bottom-right corner of before.
    ASSERT_NO_FATAL_FAILURE(PutCursor({112, 54}));
    EXPECT_TRUE(Becomes(IDC_TLC_POS, "( 112, 54 )")) << Text(IDC_TLC_POS);
    PressKey(VK_SPACE);
    ASSERT_TRUE(Becomes(IDC_SET_COORDS, kRecordBottomRight)) << Text(IDC_SET_COORDS);
    EXPECT_EQ(folder.Read("options.ini"), OptionsFileOf({112, 54, earlier.right, earlier.bottom}));
    EXPECT_TRUE(Becomes(IDC_BRC_POS, "( 112, 54 )")) << Text(IDC_BRC_POS);
    ASSERT_NO_FATAL_FAILURE(PutCursor({640, 75}));
    EXPECT_TRUE(Becomes(IDC_BRC_POS, "( 640, 75 )")) << Text(IDC_BRC_POS);
    EXPECT_EQ(Text(IDC_TLC_POS), "( 112, 54 )");

    // On the bottom-right corner: all four saved, and the focus waits on the
    // trace button.
    PressKey(VK_SPACE);
    ASSERT_TRUE(Becomes(IDC_SET_COORDS, kSetCoordinates)) << Text(IDC_SET_COORDS);
    EXPECT_EQ(folder.Read("options.ini"),
              "bottom_boundary=75\r\nleft_boundary=112\r\nright_boundary=640\r\ntop_boundary=54\r\n");
    EXPECT_EQ(FocusIn(dialog), Control(IDC_TRACE));
    EXPECT_EQ(Text(IDC_TLC_POS), "( 112, 54 )");
    EXPECT_EQ(Text(IDC_BRC_POS), "( 640, 75 )");

    // So the next space bar traces what was just recorded.
    ASSERT_NO_FATAL_FAILURE(PutCursor(kRestingPlace));
    const auto samples = WatchTrace();
    EXPECT_GE(FindNear(samples, 0, {640, 75}, 3), 0) << Describe(samples);
    ExpectPutBack(samples, kRestingPlace);
}

TEST_F(Calibration, TraceGlidesClockwiseRoundTheCornersAndPutsTheCursorBack) {
    ASSERT_NO_FATAL_FAILURE(StartWith(kWideBar));
    ASSERT_NO_FATAL_FAILURE(FocusOn(IDC_TRACE));
    // What the trace button looks like on the screen, before and while it runs:
    // looked at once the glides have begun, as the caption is stored just before
    // it is drawn.
    const RECT button = RectOf(Control(IDC_TRACE));
    const std::vector<DWORD> idle = ScreenPixelsOf(button);
    std::vector<DWORD> busy;
    auto lookAtButton = [&](const Sample& s) {
        const bool gliding = s.tracing && !Same(s.cursor, {kWideBar.left, kWideBar.top});
        if (gliding && busy.empty()) busy = ScreenPixelsOf(button);
    };

    const auto samples = WatchTrace(lookAtButton);

    // The new caption is drawn at once, while the program handles no messages.
    ASSERT_FALSE(busy.empty());
    EXPECT_NE(busy, idle) << "the button still shows its old caption while the trace runs";

    // The corners in turn, then back. A glide rests on each corner for one pause
    // of 5 ms; the samples may fall just before or after it, so a corner counts
    // as visited within one step of the longest side (600 px in 200 steps).
    const RECT& r = kWideBar;
    const POINT route[] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom},
                           {r.left, r.top}, kRestingPlace};
    size_t from = 0;
    for (const POINT& corner : route) {
        const int at = FindNear(samples, from, corner, 3);
        ASSERT_GE(at, 0) << "no visit to " << ToString(corner) << " after sample " << from << "\n" << Describe(samples);
        from = static_cast<size_t>(at) + 1;
    }
    // Between leaving and coming back the cursor is only ever on the rectangle's sides.
    const int first = FindNear(samples, 0, route[0], 0);
    const int back = FindNear(samples, static_cast<size_t>(first), kRestingPlace, 0);
    ASSERT_GE(first, 0);
    ASSERT_GT(back, first);
    for (int i = first; i < back; ++i) {
        const POINT p = samples[static_cast<size_t>(i)].cursor;
        const bool onSide = ((p.x == r.left || p.x == r.right) && p.y >= r.top && p.y <= r.bottom) ||
                            ((p.y == r.top || p.y == r.bottom) && p.x >= r.left && p.x <= r.right);
        ASSERT_TRUE(onSide) << "off the rectangle at " << ToString(p) << "\n" << Describe(samples);
    }

    // "Tracing Address Bar" reads on the button while the cursor glides.
    for (const POINT& corner : {route[1], route[2], route[3]}) {
        const int at = FindNear(samples, 0, corner, 3);
        ASSERT_GE(at, 0);
        EXPECT_TRUE(samples[static_cast<size_t>(at)].tracing) << "at " << ToString(corner) << "\n" << Describe(samples);
    }
    ExpectPutBack(samples, kRestingPlace);

    size_t gliding = static_cast<size_t>(first);
    while (gliding < samples.size() && Same(samples[gliding].cursor, route[0])) ++gliding;
    std::printf("[ measured ] trace of a 600 x 200 rectangle: %lld ms from the jump to the return, "
                "%lld ms of it gliding; %zu samples\n",
                samples[static_cast<size_t>(back)].ms - samples[static_cast<size_t>(first)].ms,
                samples[static_cast<size_t>(back)].ms - samples[gliding].ms, samples.size());
}

TEST_F(Calibration, ZeroSizeRectangleIsAJumpThereTwoPausesAndAJumpBack) {
    const POINT point{333, 66};
    ASSERT_NO_FATAL_FAILURE(StartWith({point.x, point.y, point.x, point.y}));
    ASSERT_NO_FATAL_FAILURE(FocusOn(IDC_TRACE));

    const auto samples = WatchTrace();

    for (const Sample& s : samples) {
        ASSERT_TRUE(Same(s.cursor, point) || Same(s.cursor, kRestingPlace)) << Describe(samples);
    }
    const int there = FindNear(samples, 0, point, 0);
    ASSERT_GE(there, 0) << Describe(samples);
    const int back = FindNear(samples, static_cast<size_t>(there), kRestingPlace, 0);
    ASSERT_GT(back, there);
    bool tracingSeen = false;
    for (const Sample& s : samples) tracingSeen = tracingSeen || s.tracing;
    EXPECT_TRUE(tracingSeen) << Describe(samples);
    ExpectPutBack(samples, kRestingPlace);

    // Two pauses of 300 ms. Glides of 200 steps over no distance would take
    // four seconds more; the bound sits far from both.
    const long long away = samples[static_cast<size_t>(back)].ms - samples[static_cast<size_t>(there)].ms;
    std::printf("[ measured ] zero-size trace: the cursor was away for %lld ms\n", away);
    EXPECT_LT(away, 3000);
}

TEST_F(Calibration, MovingTheMouseDuringATraceDoesNotKeepTheCursorFromComingBack) {
    ASSERT_NO_FATAL_FAILURE(StartWith(kWideBar));
    ASSERT_NO_FATAL_FAILURE(FocusOn(IDC_TRACE));

    // The user takes the mouse once the cursor has jumped onto the rectangle:
    // all through the opening pause, and into the glides at three moments 150 ms
    // apart. Then the hand rests, so that every move of the user's comes before
    // the trace puts the cursor back, as it must for the test to see where it
    // went.
    const POINT topLeft{kWideBar.left, kWideBar.top};
    bool jumped = false;
    long long lastMove = -1000;
    long long tracingSince = -1;
    int movesInPause = 0;
    int movesInGlides = 0;
    auto user = [&](const Sample& s) {
        jumped = jumped || Same(s.cursor, topLeft);
        if (!jumped) return;
        if (s.tracing && tracingSince < 0) tracingSince = s.ms;
        const bool inPause = tracingSince < 0;
        const bool due = inPause ? s.ms - lastMove >= 15
                                 : movesInGlides < 3 && s.ms - tracingSince >= 150 * movesInGlides;
        if (!due) return;
        const int k = movesInPause + movesInGlides;
        SetCursorPos(250 + (k * 37) % 500, 180 + (k * 23) % 150);
        lastMove = s.ms;
        ++(inPause ? movesInPause : movesInGlides);
    };

    const auto samples = WatchTrace(user);

    EXPECT_GE(movesInPause, 1);
    EXPECT_EQ(movesInGlides, 3) << "the trace ended before the user was done\n" << Describe(samples);
    ExpectPutBack(samples, kRestingPlace);
    std::printf("[ measured ] disturbed trace: %d moves in the pause, %d in the glides, ended after %lld ms\n",
                movesInPause, movesInGlides, samples.back().ms);
}

}  // namespace
}  // namespace e2e
