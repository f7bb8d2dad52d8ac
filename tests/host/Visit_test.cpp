// A page visit on the simulated desktop, in virtual time.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/EntryText.h"
#include "engine/Interrupt.h"
#include "res/resource.h"
#include "store/SiteList.h"
#include "tests/host/SurfWorld.h"
#include "tests/host/VisitScript.h"

namespace {

using visit::Act;
using visit::Step;

// The visit as the design lays it out, step by step, taking the design's draws
// in the design's order from the generator as the visit found it. Glides are
// undisturbed, so each ends on its target; a wait shows as the whole 5 ms
// slices it sleeps.
class DesignedVisit {
public:
    DesignedVisit(desktop::Point cursor, const CSurfer& program)
        : cursor_(cursor), pages_(program.m_nPages), s_(program) {}

    std::vector<std::string> Lines() {
        const bool first = pages_ == 0;
        Front();
        const desktop::Rect& bar = s_.m_rcAddressBar.Rect();
        const int32_t y = RandomBetween(bar.top, bar.bottom);
        const int32_t x = RandomBetween(bar.left, bar.right);
        Glide(x, y, 100, 5);
        Say("click");
        Say("keys +Home* -Home*");
        Wait(200, 1000);
        Say("keys +Shift +End* -End* -Shift");
        Wait(200, 1000);
        Say("keys +Delete* -Delete*");
        Wait(200, 1000);

        SiteEntry url = ByteEntry("http://www.nimbrel.com/sponsors");
        if (!first) PickSite(url);
        for (const char32_t c : EntryCharacters(url)) {
            if (RandomRange(1, 100) == 3) {
                uint32_t letter;
                do letter = RandomRange('a', 'z');
                while (letter == c);
                Say("type " + std::string(1, static_cast<char>(letter)));
                Wait(300, 600);
                Say("keys +Delete* -Delete* +Back -Back");
                Wait(300, 600);
            }
            Say("type " + Utf8(c));
            Wait(50, 300);
        }
        ++pages_;
        Say("keys +Delete* -Delete* +Return -Return");
        Wait(15000, 25000);

        const uint32_t cycles = first ? RandomRange(1, 2) : RandomRange(3, 5);
        for (uint32_t i = 0; i < cycles; ++i) {
            Front();
            Wander();
            if (RandomRange(1, 100) < 70) Wheel(-120 * int(RandomRange(1, 5)));
            Wait(20000, 38000);
        }
        if (RandomRange(0, 100) < 20) {
            Front();
            if (RandomRange(1, 100) < 60) Wander();
            Wheel(120 * int(RandomRange(1, 3)));
            Wait(5000, 10000);
        }
        Say("timer 101 in " + std::to_string(RandomRange(5000, 20000)) + " ms");
        return lines_;
    }

private:
    static std::string Utf8(char32_t c) { return sim::Utf8(std::u32string(1, c)); }
    void Say(const std::string& line) { lines_.push_back(line); }
    void Front() {
        if (pages_ != 0 && s_.m_hBrowser) Say("front " + sim::Text(s_.m_hBrowser));
    }
    // Only over the browser: a wander may end on the row or column just past
    // its edge, where a turn would go to another window.
    void Wheel(int delta) {
        const desktop::Rect frame = sim::Win(s_.m_hBrowser).rect;
        if (cursor_.x >= frame.left && cursor_.x < frame.right && cursor_.y >= frame.top && cursor_.y < frame.bottom)
            Say("wheel " + std::to_string(delta));
    }
    void Wander() {
        const uint32_t pause = RandomRange(3, 7);
        const uint32_t steps = RandomRange(60, 100);
        const int32_t y = RandomBetween(s_.m_rcBrowser.top, s_.m_rcBrowser.bottom);
        const int32_t x = RandomBetween(s_.m_rcBrowser.left, s_.m_rcBrowser.right);
        Glide(x, y, steps, pause);
    }
    void Glide(int32_t x, int32_t y, uint32_t steps, uint32_t pause) {
        const uint32_t distance = uint32_t(std::max(std::abs(x - cursor_.x), std::abs(y - cursor_.y)));
        const uint32_t moves = std::min(steps, distance);
        if (moves == 0) return;
        Say("glide to (" + std::to_string(x) + ", " + std::to_string(y) + "): " + std::to_string(moves) +
            " moves of " + std::to_string(pause) + " ms");
        cursor_ = desktop::Point{x, y};
    }
    void Wait(uint32_t lo, uint32_t hi) { Say("wait " + std::to_string(RandomRange(lo, hi) / 5 * 5)); }

    desktop::Point cursor_;
    uint32_t pages_;
    const CSurfer& s_;  // the address bar, and the browser as the program captured it
    std::vector<std::string> lines_;
};

class VisitTest : public SurfTest {
protected:
    // Runs one visit and checks it against the design, step for step. The
    // browser's capture is taken from the program, the rest is replayed.
    std::vector<Step> VisitAsDesigned() {
        const RandomEngine generator = Random();
        const desktop::Point cursor = sim::Cursor();
        const uint32_t pages = surfer->m_nPages;
        const size_t mark = sim::Mark();
        surfer->VisitPage();
        const std::vector<Step> observed = visit::ReadVisit(sim::EventsSince(mark));

        const RandomEngine after = Random();
        Random() = generator;
        const uint32_t pagesAfter = surfer->m_nPages;
        surfer->m_nPages = pages;
        const std::vector<std::string> expected = DesignedVisit(cursor, *surfer).Lines();
        surfer->m_nPages = pagesAfter;
        EXPECT_EQ(expected, visit::Lines(observed));
        EXPECT_EQ(after, Random()) << "the visit drew more or fewer values than the design";
        Random() = after;
        return observed;
    }

    static size_t Count(const std::vector<Step>& steps, const std::function<bool(const Step&)>& what) {
        return static_cast<size_t>(std::count_if(steps.begin(), steps.end(), what));
    }

    // Runs the visit again from the same start with the user taking the mouse
    // in the middle of the step that `which` picks from an undisturbed run.
    // Returns the steps of the disturbed run; `interrupted` tells how it ended.
    std::vector<Step> DisturbedIn(uint32_t seed, bool laterPage,
                                  const std::function<const Step*(const std::vector<Step>&)>& which,
                                  bool& interrupted, uint64_t& disturbedAt) {
        Start(seed, laterPage);
        surfer->VisitPage();
        const std::vector<Step> calm = visit::ReadVisit(sim::Events());
        const Step* target = which(calm);
        if (!target) return {};
        disturbedAt = target->atMs + 20;

        Start(seed, laterPage);
        sim::UserMovesBy(disturbedAt, 40, 0);
        sim::UserMovesBy(disturbedAt + 10, 40, 0);
        interrupted = false;
        try {
            surfer->VisitPage();
        } catch (const CInterrupt& e) {
            interrupted = true;
            EXPECT_EQ(0x60000000u, e.Code());
        }
        return visit::ReadVisit(sim::Events());
    }

    void Start(uint32_t seed, bool laterPage) {
        Build(seed);
        if (laterPage) AsAfterFirstPage();
    }
};

bool Pressed(const Step& s, const std::string& key) { return s.act == Act::Keys && s.keys.find(key) != std::string::npos; }

// What an address bar of today submits: it completes every character typed at
// the end of its text from a history that knows a longer address for anything.
std::vector<std::string> SubmittedWithCompletion(const std::string& before) {
    return sim::ReplayIntoField(sim::Events(), before, [](const std::string&) { return "/from-history"; }).submitted;
}

}  // namespace

TEST_F(VisitTest, FirstPagesOfSessionsGoToTheSponsorsAndCaptureTheBrowser) {
    size_t typos = 0, scrollBacks = 0;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Build(seed);
        // As an earlier session left it: a browser since moved aside.
        surfer->m_hBrowser = sim::AddWindow("Old browser", desktop::Rect{990, 700, 1020, 760});
        const std::vector<Step> steps = VisitAsDesigned();

        EXPECT_EQ(Act::Glide, steps.front().act) << "no window is brought forward before the first glide";
        EXPECT_EQ(browser, surfer->m_hBrowser);
        EXPECT_EQ(kFrame, surfer->m_rcBrowser);
        EXPECT_EQ(1u, surfer->m_nPages);
        const sim::FieldState field = sim::ReplayIntoField(sim::Events(), "about:blank");
        EXPECT_EQ(std::vector<std::string>{kSponsors}, field.submitted);
        EXPECT_EQ(std::vector<std::string>{kSponsors}, SubmittedWithCompletion("about:blank"));

        const size_t cycles = Count(steps, [](const Step& s) { return s.act == Act::Wait && s.ms >= 20000; });
        EXPECT_GE(cycles, 1u);
        EXPECT_LE(cycles, 3u);  // two dwell cycles and a page load of 20 seconds or more
        typos += Count(steps, [](const Step& s) { return Pressed(s, "Back"); });
        scrollBacks += Count(steps, [](const Step& s) { return s.act == Act::Wheel && s.delta > 0; });
    }
    EXPECT_GT(typos, 0u) << "no typo among these seeds: the typo path went unchecked";
    EXPECT_GT(scrollBacks, 0u) << "no scroll-back among these seeds";
}

TEST_F(VisitTest, LaterPagesComeFromTheSiteListWithTheBrowserInFront) {
    size_t typos = 0, scrollBacks = 0, wanderless = 0;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Build(seed);
        AsAfterFirstPage();
        const std::vector<Step> steps = VisitAsDesigned();

        EXPECT_EQ("front Browser", steps.front().Text());
        EXPECT_EQ(2u, surfer->m_nPages);
        const sim::FieldState field = sim::ReplayIntoField(sim::Events(), "http://old.example/");
        EXPECT_EQ(std::vector<std::string>{kEntry}, field.submitted);
        EXPECT_EQ(std::vector<std::string>{kEntry}, SubmittedWithCompletion("http://old.example/"));

        // Exactly one visit pending, armed by this one.
        const std::vector<sim::Timer> timers = sim::PendingTimers();
        ASSERT_EQ(1u, timers.size());
        EXPECT_EQ(uintptr_t{TIMER_SURF}, timers[0].id);
        EXPECT_EQ(surfer->DialogWindow(), timers[0].window);
        EXPECT_GE(timers[0].dueMs, sim::NowMs() + 5000);
        EXPECT_LE(timers[0].dueMs, sim::NowMs() + 20000);

        typos += Count(steps, [](const Step& s) { return Pressed(s, "Back"); });
        for (size_t i = 0; i + 1 < steps.size(); ++i) {
            if (steps[i].act == Act::Front && steps[i + 1].act == Act::Wheel) ++wanderless;
            if (steps[i].act == Act::Wheel && steps[i].delta > 0) ++scrollBacks;
        }
    }
    EXPECT_GT(typos, 0u);
    EXPECT_GT(scrollBacks, wanderless) << "no scroll-back with a wander among these seeds";
    EXPECT_GT(wanderless, 0u) << "no scroll-back without a wander among these seeds";
}

TEST_F(VisitTest, TheCaptureClimbsFromWhatLiesUnderTheCursorToItsTopLevelWindow) {
    // An owned window of the browser (a find bar, say) lies over the address bar.
    const desktop::Rect barRect = sim::Win(bar).rect;
    const desktop::Window popup = sim::AddWindow("Find", barRect);
    sim::Win(popup).owner = browser;
    const desktop::Window field = sim::AddChild(popup, 1, "", barRect);
    ASSERT_EQ(field, desktop::WindowFromPoint(desktop::Point{barRect.left + 5, barRect.top + 5}));

    surfer->VisitPage();
    EXPECT_EQ(browser, surfer->m_hBrowser);
    EXPECT_EQ(kFrame, surfer->m_rcBrowser);
}

TEST_F(VisitTest, TheCapturedRectangleIsKeptToTheScreens) {
    struct Case {
        const char* what;
        desktop::Rect screens;
        desktop::Rect frame;
        desktop::Rect recorded;
    };
    const Case cases[] = {
        {"maximised on one screen: its frame overhangs", {0, 0, 1024, 768}, {-4, -4, 1028, 772}, {0, 0, 1028, 772}},
        {"on a monitor left of the primary one", {-1280, 0, 1024, 1024}, {-1200, 100, -200, 700},
         {-1200, 100, -200, 700}},
        {"maximised on a monitor above the primary one", {0, -900, 1600, 768}, {-4, -904, 1604, -4},
         {0, -900, 1604, -4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::Reset();
        sim::SetVirtualScreen(c.screens);
        Build(kSeed, c.frame);
        sim::SetVirtualScreen(c.screens);
        surfer->VisitPage();
        EXPECT_EQ(browser, surfer->m_hBrowser);
        EXPECT_EQ(c.recorded, surfer->m_rcBrowser);
    }
}

// A captured browser that has gone is never brought forward or restored again,
// even when its handle has come to name another program's window; the visit
// captures anew what lies under the address bar, when that is a window of the
// browser's program, and types into nothing else: not another program, not
// the desktop.
TEST_F(VisitTest, ABrowserThatHasGoneIsForgottenAndCapturedAnewOnlyFromItsProgram) {
    const desktop::Rect aside{600, 400, 900, 600};
    struct Case {
        const char* what;
        bool handleReused;
        const char* reopened;  // the program of the window then under the address bar, if any
    };
    for (const Case& c : {Case{"closed, and opened again", false, kBrowserProgram},
                          Case{"closed, its handle now an editor's, opened again", true, kBrowserProgram},
                          Case{"closed, another program's window under the address bar", false, "notes.exe"},
                          Case{"closed, the desktop under the address bar", false, sim::kShellProgram},
                          Case{"closed, nothing under the address bar", false, nullptr}}) {
        SCOPED_TRACE(c.what);
        Build(kSeed);
        AsAfterFirstPage();
        const desktop::Window old = browser;
        const desktop::Rect barRect = sim::Win(bar).rect;
        if (c.handleReused) {
            sim::DestroyWindow(toolbar);
            sim::Win(old).thread = 3000;
            sim::Win(old).text = "Editor";
            sim::Win(old).rect = aside;
        } else {
            sim::DestroyWindow(old);
        }
        desktop::Window reopened = nullptr;
        if (c.reopened) {
            reopened = sim::AddWindow("New browser", kFrame);
            sim::Win(reopened).program = c.reopened;
            sim::AddChild(reopened, 101, "", barRect);
        }
        sim::SetForeground(nullptr);
        const bool browser = c.reopened && std::string(c.reopened) == kBrowserProgram;

        surfer->VisitPage();
        for (const sim::Event& e : sim::Events()) {
            const bool touched = e.kind == sim::Kind::Foreground || e.kind == sim::Kind::Restore;
            EXPECT_FALSE(touched && e.window == old) << sim::Describe(e);
        }
        EXPECT_EQ(browser ? reopened : nullptr, surfer->m_hBrowser);
        EXPECT_EQ(browser ? reopened : nullptr, sim::Foreground()) << "the dwell cycles bring the new capture forward";
        EXPECT_EQ(kFrame, surfer->m_rcBrowser);
        EXPECT_EQ(browser ? 2u : 1u, surfer->m_nPages);
        EXPECT_EQ(browser, !sim::KeyEvents().empty());
        EXPECT_EQ(browser, !sim::Only(sim::Events(), {sim::Kind::LeftDown}).empty()) << "clicked elsewhere";
        EXPECT_TRUE(sim::TimerPending(TIMER_SURF));
    }

    // And with no capture at all, the first page does not go through either.
    Build(kSeed);
    sim::DestroyWindow(browser);
    surfer->VisitPage();
    EXPECT_EQ(nullptr, surfer->m_hBrowser);
    EXPECT_EQ(0u, surfer->m_nPages);
    EXPECT_TRUE(sim::KeyEvents().empty());
    EXPECT_TRUE(sim::TimerPending(TIMER_SURF));
}

// A turn of the wheel goes only to the browser, in front and under the
// cursor: over a window of the user's, or while the browser will not come
// forward, the turn is left out and the visit reads on.
TEST_F(VisitTest, TheWheelTurnsOnlyTheBrowser) {
    for (const char* way : {"undisturbed", "a note over the browser", "the browser kept behind"}) {
        SCOPED_TRACE(way);
        Build(kSeed);
        AsAfterFirstPage();
        const desktop::Window editor = sim::AddWindow("Editor", desktop::Rect{100, 500, 400, 700}, 3000);
        const bool undisturbed = way[0] == 'u';
        AfterEvent(Key(sim::Kind::KeyUp, desktop::kVkReturn), [&] {
            if (way[0] == 'a') AddNote(sim::Win(browser).rect, false);
            if (way[0] == 't') {
                sim::SetActivation(browser, sim::Activation{true, 0});
                sim::SetForeground(editor);
            }
        });
        surfer->VisitPage();
        EXPECT_EQ(undisturbed, !sim::Only(sim::Events(), {sim::Kind::Wheel}).empty());
        EXPECT_EQ(2u, surfer->m_nPages);
        EXPECT_TRUE(sim::TimerPending(TIMER_SURF));
    }
}

TEST_F(VisitTest, TheCaptureIsMadeOncePerSession) {
    surfer->VisitPage();
    sim::Win(browser).rect = desktop::Rect{100, 100, 500, 500};  // the user moves the browser
    surfer->VisitPage();
    EXPECT_EQ(kFrame, surfer->m_rcBrowser);
}

TEST_F(VisitTest, TakingTheMouseWhileTheUrlIsTypedAbandonsTheVisitBeforeEnter) {
    // In a pause after a character, and in a pause around a typo.
    const std::function<const Step*(const std::vector<Step>&)> pauses[] = {
        [](const std::vector<Step>& s) -> const Step* {
            for (size_t i = 1; i < s.size(); ++i)
                if (s[i].act == Act::Wait && s[i - 1].typed == "w") return &s[i];
            return nullptr;
        },
        [](const std::vector<Step>& s) -> const Step* {
            for (size_t i = 1; i < s.size(); ++i)
                if (s[i].act == Act::Wait && Pressed(s[i - 1], "Back")) return &s[i];
            return nullptr;
        },
    };
    for (const auto& which : pauses) {
        for (uint32_t seed = 1;; ++seed) {
            ASSERT_LT(seed, 100u) << "no seed makes this pause";
            bool interrupted = false;
            uint64_t at = 0;
            const std::vector<Step> steps = DisturbedIn(seed, true, which, interrupted, at);
            if (steps.empty()) continue;
            SCOPED_TRACE("seed " + std::to_string(seed));
            EXPECT_TRUE(interrupted);
            EXPECT_EQ(1u, surfer->m_nPages) << "the page is not counted";
            EXPECT_EQ(0u, Count(steps, [](const Step& s) { return Pressed(s, "Return"); }));
            EXPECT_FALSE(sim::TimerPending(TIMER_SURF));
            EXPECT_EQ(Act::Wait, steps.back().act) << "nothing follows the interrupted wait";
            EXPECT_LT(sim::NowMs(), at + 100);
            break;
        }
    }
}

TEST_F(VisitTest, TakingTheMouseAfterEnterAbandonsTheVisitWithThePageCounted) {
    // The page load, a dwell cycle's reading pause, the scroll-back's pause.
    const std::function<const Step*(const std::vector<Step>&)> waits[] = {
        [](const std::vector<Step>& s) -> const Step* {
            for (size_t i = 1; i < s.size(); ++i)
                if (Pressed(s[i - 1], "Return")) return &s[i];
            return nullptr;
        },
        [](const std::vector<Step>& s) -> const Step* {
            for (size_t i = s.size(); i-- > 0;)
                if (s[i].act == Act::Wait && s[i].ms >= 20000) return &s[i];
            return nullptr;
        },
        [](const std::vector<Step>& s) -> const Step* {
            for (size_t i = 1; i < s.size(); ++i)
                if (s[i - 1].act == Act::Wheel && s[i - 1].delta > 0) return &s[i];
            return nullptr;
        },
    };
    for (const auto& which : waits) {
        for (uint32_t seed = 1;; ++seed) {
            ASSERT_LT(seed, 100u) << "no seed makes this wait";
            bool interrupted = false;
            uint64_t at = 0;
            const std::vector<Step> steps = DisturbedIn(seed, true, which, interrupted, at);
            if (steps.empty()) continue;
            SCOPED_TRACE("seed " + std::to_string(seed));
            EXPECT_TRUE(interrupted);
            EXPECT_EQ(2u, surfer->m_nPages) << "the page counts once Enter was pressed";
            EXPECT_FALSE(sim::TimerPending(TIMER_SURF));
            EXPECT_EQ(Act::Wait, steps.back().act) << "nothing follows the interrupted wait";
            EXPECT_LT(sim::NowMs(), at + 100);
            break;
        }
    }
}

TEST_F(VisitTest, TheClearingPausesDoNotWatchTheMouse) {
    // After each of Home, Shift+End and Delete the user moves the mouse twice,
    // which would end any guarded wait; then lets go of it.
    size_t seen = 0;
    size_t pushes = 0;
    std::function<void()> watch = [&] {
        const std::vector<sim::Event>& events = sim::Events();
        for (; seen < events.size(); ++seen) {
            const sim::Event& e = events[seen];
            if (e.kind != sim::Kind::KeyUp) continue;
            if (pushes == 3) return;  // the bar is clear: stop watching
            if (e.vk == desktop::kVkHome || e.vk == desktop::kVkEnd || e.vk == desktop::kVkDelete) {
                sim::UserMovesBy(sim::NowMs() + 20, 30, 30);
                sim::UserMovesBy(sim::NowMs() + 40, -30, 30);
                ++pushes;
            }
        }
        sim::At(sim::NowMs() + 5, watch);
    };
    sim::At(0, watch);

    surfer->VisitPage();  // no interruption
    EXPECT_EQ(3u, pushes);
    EXPECT_EQ(1u, surfer->m_nPages);
    EXPECT_EQ(std::vector<std::string>{kSponsors}, sim::ReplayIntoField(sim::Events()).submitted);
    EXPECT_TRUE(sim::TimerPending(TIMER_SURF));
}

TEST_F(VisitTest, AnEmptyEntryPressesEnterAndCountsThePage) {
    WriteFile("WebSites.txt", "");
    AsAfterFirstPage();
    surfer->VisitPage();
    const std::vector<Step> steps = visit::ReadVisit(sim::Events());
    EXPECT_EQ(0u, Count(steps, [](const Step& s) { return !s.typed.empty(); }));
    EXPECT_EQ(std::vector<std::string>{""}, sim::ReplayIntoField(sim::Events(), "about:blank").submitted);
    EXPECT_EQ(2u, surfer->m_nPages);
    const size_t reads = Count(steps, [](const Step& s) { return s.act == Act::Wait && s.ms >= 20000; });
    EXPECT_GE(reads, 4u);  // the page load and three to five dwell cycles
    EXPECT_LE(reads, 6u);
    EXPECT_TRUE(sim::TimerPending(TIMER_SURF));
}

// --- Entries as today's editors save them, and as older ones did -------------------------

namespace {

struct EntryCase {
    const char* name;
    sim::CodePage page;  // the system's ANSI code page
    const char* bytes;   // the entry in WebSites.txt
    const char* typed;   // what arrives, UTF-8
};

void PrintTo(const EntryCase& c, std::ostream* os) { *os << c.name; }

class Entries : public VisitTest, public ::testing::WithParamInterface<EntryCase> {};

}  // namespace

// A character at a time, each with its own typo chance: the visit's draws are
// the design's per character, whatever number of bytes it takes.
TEST_P(Entries, AreTypedACharacterAtATime) {
    const EntryCase& c = GetParam();
    WriteFile("WebSites.txt", std::string(c.bytes) + "\n");
    size_t typos = 0;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Build(seed);
        sim::SetCodePage(c.page);
        AsAfterFirstPage();
        const std::vector<Step> steps = VisitAsDesigned();
        EXPECT_EQ(std::vector<std::string>{c.typed}, SubmittedWithCompletion("about:blank"));
        typos += Count(steps, [](const Step& s) { return Pressed(s, "Back"); });
    }
    EXPECT_GT(typos, 0u);
}

const EntryCase kEntryCases[] = {
    {"Utf8", sim::CodePage::k1252, "b\xC3\xBC" "cher.example/stra\xC3\x9F" "e?q=\xE6\x97\xA5\xE6\x9C\xAC&\xF0\x9F\x98\x80",
     "b\u00FCcher.example/stra\u00DFe?q=\u65E5\u672C&\U0001F600"},
    {"AnsiSingleByte", sim::CodePage::k1252, "caf\xE9.example/\x80?q=\xC3", "caf\u00E9.example/\u20AC?q=\u00C3"},
    // Second bytes that are a left brace and a backslash on their own.
    {"AnsiDoubleByte", sim::CodePage::k932, "\x93\xFA\x96\x7B.example/\x83\x5C\xB1",
     "\u65E5\u672C.example/\u30BD\uFF71"},
};

INSTANTIATE_TEST_SUITE_P(SiteList, Entries, ::testing::ValuesIn(kEntryCases),
                         [](const ::testing::TestParamInfo<EntryCase>& info) { return info.param.name; });
