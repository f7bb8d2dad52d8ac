// Surf sessions of the real program against the stand-in browser: Start, the
// visits, and each way a session ends. These take minutes, so there are few of
// them, each proving a whole road. The program's thread is busy for the length
// of a visit, so the program is watched through what needs no answer from it
// (stored captions, visibility) and through the stand-in's log.
//
// The stand-in's bar behaves like today's browsers': it completes inline from
// a history that completes every address the program types, at every
// character and after every wrong letter.
#include <regex>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/KeyWatch.h"
#include "tests/e2e/ProgramTest.h"
#include "tests/standin/StandinProcess.h"

namespace e2e {
namespace {

constexpr const char* kSponsors = "http://" MAKER_WEB_HOST "/sponsors";
constexpr const char* kEntry = "www.example.com/a?b=1&c=~x";

// A first visit comes 5 to 10 s after Start and types for some seconds; a
// whole visit lasts up to about four minutes.
constexpr Millis kFirstEnter{90000};
constexpr Millis kWholeVisit{300000};

class Surfing : public ProgramTest {
protected:
    // `entry`: the site list's only entry; `drops`: the browser's bar loses
    // that character typed after each click (0: none).
    explicit Surfing(std::string entry = kEntry, bool browserStaysBehind = false, int drops = 0)
        : entry(std::move(entry)), m_browserStaysBehind(browserStaysBehind), m_drops(drops) {}

    void SetUp() override {
        SetCursorPos(kRestingPlace.x, kRestingPlace.y);
        standin::Options options;
        options.exe = WindowsPath(STANDIN_EXE_BUILT);
        options.history = standin::HistoryAround({kSponsors, entry});
        options.staysBehind = m_browserStaysBehind;
        options.drops = m_drops;
        browser = std::make_unique<standin::Process>(options);
        ASSERT_TRUE(browser->Ready()) << "the stand-in browser did not start from " << options.exe;
        // Calibrated to the stand-in's address bar: its corners, a little inside.
        RECT bar = RectOf(browser->Bar());
        InflateRect(&bar, -4, -4);
        ASSERT_TRUE(folder.Write("options.ini", OptionsFileOf(bar)));
        ASSERT_TRUE(folder.Write("WebSites.txt", entry + "\r\n"));
        ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());
    }

    // Start as a user presses it: the hours typed, then Enter. Returns when
    // the trace is over and the dialog answers again.
    void StartSurfing(const std::string& hours) {
        ASSERT_NO_FATAL_FAILURE(EnterHours(hours));
        ASSERT_TRUE(WaitUntil([&] { return StoredTextOf(Control(IDOK)) == kStopCaption && Answers(dialog); }))
            << "Start did not take: " << StoredTextOf(Control(IDOK));
    }

    // A session's first page brings no window forward, and the user normally
    // has the browser in front. Here it matters for another reason too: under
    // Wine, a click that activates another process's window takes effect
    // later, and keys sent right after it reach the window that was active
    // before (Windows queues input in order). So the stand-in goes in front,
    // its bar focused, before the first visit.
    void PutBrowserInFront() const {
        ASSERT_TRUE(browser->PutInFrontWithBarFocused()) << "the stand-in cannot be put in front";
    }

    // The text of the n-th Enter in the bar (0 for the first), waiting for it.
    std::string WaitForEnter(size_t n, Millis timeout) const {
        std::string text;
        const bool came = WaitUntil(
            [&] {
                const auto enters = standin::OfKind(browser->Events(), standin::Kind::Enter);
                if (enters.size() <= n) return false;
                text = enters[n].text;
                return true;
            },
            timeout);
        EXPECT_TRUE(came) << "Enter number " << n + 1 << " did not reach the bar";
        return text;
    }

    // After a summary box has been closed, or after Stop.
    void ExpectIdleAgain(const std::string& hours) const {
        EXPECT_TRUE(WaitUntil([&] { return !program->MessageBox() && Answers(dialog); }));
        // A sent message can be answered before the queued key press that stops
        // the session has been handled: wait for the caption, as for the rest.
        WaitUntil([&] { return Text(IDOK) == kStartCaption && !IsWindowVisible(Control(IDC_STATUS)); });
        EXPECT_EQ(kStartCaption, Text(IDOK));
        EXPECT_TRUE(IsWindowVisible(Control(IDC_HOURS)));
        EXPECT_FALSE(IsWindowVisible(Control(IDC_STATUS)));
        EXPECT_EQ(hours, Text(IDC_HOURS));
    }

    size_t Count(standin::Kind kind) const { return standin::OfKind(browser->Events(), kind).size(); }

    // Another program's window at `at`, in which the user is writing a line;
    // by default another run of the stand-in.
    static std::unique_ptr<standin::Process> UsersWindow(POINT at, bool topmost = false,
                                                         const std::string& exe = WindowsPath(STANDIN_EXE_BUILT)) {
        standin::Options options;
        options.exe = exe;
        options.at = at;
        options.topmost = topmost;
        auto window = std::make_unique<standin::Process>(options);
        EXPECT_TRUE(window->Ready()) << "the user's window did not start";
        window->SetBarText(kUsersLine, kUsersCaret);
        return window;
    }

    // Nothing typed anywhere: not a key was sent, the user's line and caret
    // are as they were, and the session goes on.
    void ExpectNothingTyped(const KeyWatch& keys, const standin::Process& users, const char* when) const {
        EXPECT_TRUE(keys.Presses().empty()) << when << ", keys were sent: " << keys.Describe();
        EXPECT_EQ(kUsersLine, TextOf(users.Bar())) << when;
        EXPECT_EQ(kUsersCaret, SelectionOf(users.Bar()).start) << when;
        EXPECT_EQ(kUsersCaret, SelectionOf(users.Bar()).end) << when;
        EXPECT_EQ(kStopCaption, StoredTextOf(Control(IDOK))) << when;
        EXPECT_EQ(0u, standin::OfKind(users.Events(), standin::Kind::KeyDown).size()) << when;
    }

    // The user's notes where the stand-in's address bar was, written in a
    // program of another name (a copy of the stand-in's executable, which logs
    // what it gets): three visits in a row are told to have found no browser,
    // and none clicked or typed there.
    void ExpectTheNotesLeftAlone(const char* when) const {
        const std::string exe = folder.PathOf("notes.exe");
        ASSERT_TRUE(CopyFileA(WindowsPath(STANDIN_EXE_BUILT).c_str(), exe.c_str(), FALSE)) << exe;
        const auto notes = UsersWindow(standin::Options().at, false, exe);
        ASSERT_TRUE(notes->PutInFrontWithBarFocused());
        KeyWatch keys;
        ASSERT_TRUE(keys.Watching());
        EXPECT_TRUE(WaitUntil([&] { return StoredTextOf(Control(IDC_STATUS)) == "Cannot reach the browser"; },
                              kWholeVisit))
            << program->Describe();
        ExpectNothingTyped(keys, *notes, when);
        EXPECT_EQ(0u, standin::OfKind(notes->Events(), standin::Kind::Click).size()) << "the notes were clicked";
    }

    static constexpr const char* kUsersLine = "Dear Sir, I have the honour to";
    static constexpr int kUsersCaret = 9;

    const std::string entry;
    std::unique_ptr<standin::Process> browser;

private:
    const bool m_browserStaysBehind;
    const int m_drops;
};

}  // namespace

TEST_F(Surfing, TheFirstPageGoesToTheSponsorsAndTakingTheMouseEndsWithTheSummary) {
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0"));
    ASSERT_NO_FATAL_FAILURE(PutBrowserInFront());

    // Within a second the countdown takes the place of the hours.
    HWND status = Control(IDC_STATUS);
    EXPECT_TRUE(WaitUntil([&] {
        return IsWindowVisible(status) && StoredTextOf(status) == "Will surf until user interrupts me";
    })) << StoredTextOf(status);
    EXPECT_FALSE(IsWindowVisible(Control(IDC_HOURS)));

    // The bar, cleared of "about:blank", gets the sponsors page and Enter.
    EXPECT_EQ(kSponsors, WaitForEnter(0, kFirstEnter));
    EXPECT_EQ(1u, Count(standin::Kind::Click));

    HWND box = TakeTheMouse(*program);
    ASSERT_NE(nullptr, box) << "no summary after the user took the mouse; " << program->Describe();
    const BoxContent content = ContentOf(box);
    EXPECT_EQ(kInterruptedCaption, content.caption);
    EXPECT_EQ(std::string(kSummary) + "1 page in 0:00", content.text);
    CloseMessageBox(box);
    ExpectIdleAgain("0");
}


TEST_F(Surfing, ALaterPageBringsTheBrowserForwardTypesTheEntryAndTurnsTheWheel) {
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0"));
    ASSERT_NO_FATAL_FAILURE(PutBrowserInFront());
    EXPECT_EQ(kSponsors, WaitForEnter(0, kFirstEnter));

    // Between the visits the user looks at the main dialog: the next visit
    // has to bring the browser forward itself.
    ASSERT_TRUE(WaitUntil([&] { return Answers(dialog); }, kWholeVisit)) << "the first visit did not end";
    ASSERT_NO_FATAL_FAILURE(Activate());
    const size_t activations = Count(standin::Kind::ActivateApp);

    EXPECT_EQ(kEntry, WaitForEnter(1, Millis(60000)));
    EXPECT_GT(Count(standin::Kind::ActivateApp), activations) << "the stand-in was not brought forward";

    // A page is read with the wheel now and then, in whole notches.
    EXPECT_TRUE(WaitUntil([&] { return Count(standin::Kind::Wheel) > 0; }, kWholeVisit));
    for (const standin::Event& wheel : standin::OfKind(browser->Events(), standin::Kind::Wheel)) {
        const int64_t delta = wheel.Value(0);
        EXPECT_EQ(0, delta % 120) << delta;
        EXPECT_TRUE((delta >= -600 && delta <= -120) || (delta >= 120 && delta <= 360)) << delta;
    }

    HWND box = TakeTheMouse(*program);
    ASSERT_NE(nullptr, box) << program->Describe();
    const BoxContent content = ContentOf(box);
    EXPECT_EQ(kInterruptedCaption, content.caption);
    EXPECT_TRUE(std::regex_match(content.text, std::regex(std::string(kSummary) + "2 pages in 0:0\\d")))
        << content.text;
    CloseMessageBox(box);
}

// A list of one line of many megabytes is read like any other: the visit
// that picks from it types within seconds of its click, and notices the user.
// (A pick that took the square of the line's length would keep the program
// deaf to the user for minutes here.)
TEST_F(Surfing, AVisitPickingFromAListWithAHugeLineTypesAndNoticesTheUser) {
    ASSERT_TRUE(folder.Write("WebSites.txt", std::string(16 << 20, 'x')));
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0"));
    ASSERT_NO_FATAL_FAILURE(PutBrowserInFront());
    EXPECT_EQ(kSponsors, WaitForEnter(0, kFirstEnter));

    // The second visit clicks in the bar, clears it in at most three seconds,
    // then picks from the list and types.
    ASSERT_TRUE(WaitUntil([&] { return Count(standin::Kind::Click) >= 2 || program->MessageBox(); }, kWholeVisit));
    ASSERT_EQ(2u, Count(standin::Kind::Click)) << "no second visit; " << program->Describe();
    const size_t typed = Count(standin::Kind::Char);
    ASSERT_TRUE(WaitUntil([&] { return Count(standin::Kind::Char) > typed; }))
        << "nothing typed within " << kPatience.count() / 1000 << " s of the second visit's click";

    HWND box = TakeTheMouse(*program);
    ASSERT_NE(nullptr, box) << "the user was not noticed; " << program->Describe();
    const BoxContent content = ContentOf(box);
    EXPECT_EQ(kInterruptedCaption, content.caption);
    EXPECT_TRUE(std::regex_match(content.text, std::regex(std::string(kSummary) + "1 page in 0:0\\d")))
        << content.text;
    CloseMessageBox(box);
}

TEST_F(Surfing, TraceInTheFirstSecondStillBringsTheCountdown) {
    ASSERT_NO_FATAL_FAILURE(EnterHours("0"));
    // Pressed while Start still traces, so that it is handled as soon as
    // Start returns, long before the first status tick.
    ASSERT_TRUE(WaitUntil([&] { return StoredTextOf(Control(IDOK)) == kStopCaption; }));
    ASSERT_TRUE(PostMessageA(Control(IDC_TRACE), BM_CLICK, 0, 0));
    // A sent message is answered before the queued press is taken: once
    // Start has returned, a trace caption can only be the second trace's.
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored));
    EXPECT_TRUE(WaitUntil([&] { return StoredTextOf(Control(IDC_TRACE)) == kTraceRunning; }))
        << "the second trace did not run";

    HWND status = Control(IDC_STATUS);
    EXPECT_TRUE(WaitUntil([&] {
        return IsWindowVisible(status) && StoredTextOf(status) == "Will surf until user interrupts me";
    })) << "no countdown after a trace in the first second: " << StoredTextOf(status);
}

TEST_F(Surfing, AHundredthOfAnHourEndsAtTheFirstTickWithoutAVisit) {
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0.01"));
    HWND box = program->WaitForMessageBox(Millis(60000));
    ASSERT_NE(nullptr, box) << program->Describe();
    const BoxContent content = ContentOf(box);
    EXPECT_EQ(kTimeLimitCaption, content.caption);
    EXPECT_EQ(std::string(kSummary) + "0 pages in 0:00", content.text);
    EXPECT_EQ(0u, Count(standin::Kind::Click) + Count(standin::Kind::Char));
    CloseMessageBox(box);
    ExpectIdleAgain("0.01");
}

TEST_F(Surfing, StopBetweenVisitsEndsTheSessionSilently) {
    ASSERT_NO_FATAL_FAILURE(StartSurfing("2"));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Control(IDC_STATUS)); }));
    ASSERT_EQ(Control(IDOK), FocusIn(dialog)) << "the trace leaves the focus on Start/Stop";
    ASSERT_NO_FATAL_FAILURE(Activate());
    PressKey(VK_SPACE);
    ExpectIdleAgain("2");

    // The visit that was due does not come, and nothing is said.
    EXPECT_FALSE(WaitUntil([&] { return program->MessageBox() || Count(standin::Kind::Click) > 0; },
                           Millis(12000)));
}

TEST_F(Surfing, EscDuringASessionEndsTheProgramWithoutASummary) {
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0"));
    ASSERT_NO_FATAL_FAILURE(Activate());
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(program->WaitForExit(Millis(10000))) << program->Describe();
    EXPECT_EQ(0u, Count(standin::Kind::Click));
}

// --- Today's browsers -----------------------------------------------------------

namespace {

// A site-list entry so long that a typo in it is all but certain (one
// character in a hundred is mistyped), and yet well within the list's limit.
std::string LongEntry() {
    std::string entry = "www.example.com/library";
    for (int shelf = 1; entry.size() < 470; ++shelf) entry += "/shelf-" + std::to_string(shelf);
    return entry;
}

bool Begins(const std::string& text, const std::string& beginning) {
    return text.compare(0, beginning.size(), beginning) == 0;
}

class SurfingLongAddresses : public Surfing {
protected:
    SurfingLongAddresses() : Surfing(LongEntry()) {}

    // A typo is erased with a Backspace, and nothing else is.
    size_t Typos() const {
        size_t typos = 0;
        for (const standin::Event& e : browser->Events())
            if (e.kind == standin::Kind::KeyDown && e.Value(0) == VK_BACK) ++typos;
        return typos;
    }

    // Completions that the bar made of a wrong letter: of a text that begins
    // neither address typed.
    size_t CompletedTypos() const {
        size_t completed = 0;
        for (const standin::Event& e : standin::OfKind(browser->Events(), standin::Kind::Complete)) {
            const std::string typed = e.text.substr(0, static_cast<size_t>(e.Value(0)));  // ASCII here
            if (!Begins(kSponsors, typed) && !Begins(entry, typed)) ++completed;
        }
        return completed;
    }
};

}  // namespace

TEST_F(SurfingLongAddresses, EveryVisitLandsOnTheAddressDrawnThoughTheBarCompletesEvenTheTypos) {
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0"));
    ASSERT_NO_FATAL_FAILURE(PutBrowserInFront());
    EXPECT_EQ(kSponsors, WaitForEnter(0, kFirstEnter));

    // Later visits type the entry, one character in a hundred mistyped: in
    // about one session in two hundred the first two pages have no typo, and
    // the third is awaited too.
    size_t pages = 1;
    do {
        EXPECT_EQ(entry, WaitForEnter(pages, kWholeVisit + kWholeVisit));
        ++pages;
    } while (Typos() == 0 && pages < 3);

    HWND box = TakeTheMouse(*program);
    ASSERT_NE(nullptr, box) << program->Describe();
    EXPECT_TRUE(std::regex_match(ContentOf(box).text,
                                 std::regex(std::string(kSummary) + std::to_string(pages) + " pages in 0:\\d\\d")))
        << ContentOf(box).text;
    CloseMessageBox(box);
    EXPECT_EQ(pages, Count(standin::Kind::Enter));
    EXPECT_GT(Typos(), 0u) << "no typo was made: the test proved less than it should";
    EXPECT_EQ(Typos(), CompletedTypos()) << "the bar did not complete every wrong letter";
}

namespace {

// A browser that cannot be brought to the front, as on Windows an elevated
// browser ignores a normal program's input and the lock screen takes it all:
// the stand-in keeps the click out, and hands the foreground back when it is
// activated all the same.
class SurfingABrowserThatStaysBehind : public Surfing {
protected:
    SurfingABrowserThatStaysBehind() : Surfing(kEntry, true) {}

    // Waits for the n-th visit (1 for the first) to click in vain, then for
    // the visit to end. (A visit that sends keys is seen to answer while the
    // test's key watch holds its key up, under Wine: fine, the watch tells.)
    void WaitForVisitInVain(size_t n, Millis timeout) const {
        ASSERT_TRUE(WaitUntil([&] { return RefusedClicks() >= n; }, timeout)) << "visit " << n << " did not come";
        ASSERT_TRUE(WaitUntil([&] { return Answers(dialog); })) << "visit " << n << " did not end";
    }

    size_t RefusedClicks() const {
        size_t clicks = 0;
        for (const standin::Event& e : standin::OfKind(browser->Events(), standin::Kind::Refused))
            if (e.text == "click") ++clicks;
        return clicks;
    }
};

}  // namespace

TEST_F(SurfingABrowserThatStaysBehind, NoKeyGoesToAnotherWindowAndTheSessionGoesOn) {
    const auto editor = UsersWindow({300, 440});
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0"));
    KeyWatch keys;
    ASSERT_TRUE(keys.Watching());

    // The first visit while the user writes in the other window...
    ASSERT_TRUE(editor->PutInFrontWithBarFocused());
    ASSERT_NO_FATAL_FAILURE(WaitForVisitInVain(1, kFirstEnter));
    ExpectNothingTyped(keys, *editor, "while the user was writing elsewhere");
    // ...and the next while the program's own dialog has the keyboard.
    ASSERT_NO_FATAL_FAILURE(Activate());
    ASSERT_NO_FATAL_FAILURE(WaitForVisitInVain(2, Millis(60000)));
    ExpectNothingTyped(keys, *editor, "while the program's own dialog had the keyboard");

    EXPECT_EQ(nullptr, program->MessageBox());
    EXPECT_EQ(0u, Count(standin::Kind::KeyDown) + Count(standin::Kind::Char));
}

// A note of the user's that stays on top lies on the way from the cursor to
// the address bar, and the user nudges the mouse once as the glide crosses it.
// The glide stops there, over the note: the visit must neither click it nor
// type into it, though it would come to the front and take the keys.
TEST_F(Surfing, ANudgeThatStopsTheGlideOverAnotherWindowSendsItNothing) {
    const auto note = UsersWindow({260, 360}, true);
    const RECT over = RectOf(note->Window());
    ASSERT_NO_FATAL_FAILURE(PutBrowserInFront());
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0"));
    KeyWatch keys;
    ASSERT_TRUE(keys.Watching());

    constexpr int kNudge = 20;
    ASSERT_TRUE(WaitUntil(
        [&] {
            POINT p = {};
            GetCursorPos(&p);
            if (p.x < over.left + kNudge || p.x >= over.right - 2 * kNudge || p.y < over.top + kNudge ||
                p.y >= over.bottom - 2 * kNudge)
                return false;
            SetCursorPos(p.x + kNudge, p.y + kNudge);
            return true;
        },
        kFirstEnter))
        << "the glide did not cross the note";
    ASSERT_TRUE(WaitUntil([&] { return Answers(dialog) || !keys.Presses().empty(); }, kWholeVisit))
        << "the visit did not end";

    ExpectNothingTyped(keys, *note, "after the nudge");
    EXPECT_EQ(0u, standin::OfKind(note->Events(), standin::Kind::Click).size()) << "the note was clicked";
    EXPECT_EQ(0u, Count(standin::Kind::Enter));
    EXPECT_EQ(nullptr, program->MessageBox());
}

// --- Only the browser calibrated on, and the user always wins -------------------

// Calibrated with the space bar on the stand-in, which the user then closed:
// the user's notes, another program, lie where its address bar was. No visit
// may click or type there, on the session's first page or any later one.
TEST_F(Surfing, CalibratedOnABrowserThatIsGoneNoKeyGoesToTheProgramUnderTheBar) {
    RECT bar = RectOf(browser->Bar());
    InflateRect(&bar, -4, -4);
    ASSERT_NO_FATAL_FAILURE(Calibrate(bar));
    EXPECT_NE(std::string::npos, folder.Read("options.ini").find("\r\nbrowser=standin.exe\r\n"))
        << folder.Read("options.ini");
    browser.reset();
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0"));
    ExpectTheNotesLeftAlone("with the browser gone");
}

// The browser of the session's first page closed after it: a later visit
// finds the user's notes under the address bar and leaves them alone.
TEST_F(Surfing, TheBrowserClosedAfterTheFirstPageNoKeyGoesToTheProgramUnderTheBar) {
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0"));
    ASSERT_NO_FATAL_FAILURE(PutBrowserInFront());
    EXPECT_EQ(kSponsors, WaitForEnter(0, kFirstEnter));
    ASSERT_TRUE(WaitUntil([&] { return Answers(dialog); }, kWholeVisit)) << "the first visit did not end";
    browser.reset();
    ExpectTheNotesLeftAlone("after the browser had closed");
}

// A user who goes on moving the mouse from before the first visit stops each
// glide to the address bar; the moment watched after it ends the session.
TEST_F(Surfing, AUserWhoKeepsMovingTheMouseEndsTheSessionWithItsSummary) {
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0"));
    HWND box = TakeTheMouse(*program, kFirstEnter);
    ASSERT_NE(nullptr, box) << "the session went on under the user's hand; " << program->Describe();
    EXPECT_EQ(kInterruptedCaption, ContentOf(box).caption);
    EXPECT_EQ(std::string(kSummary) + "0 pages in 0:00", ContentOf(box).text);
    EXPECT_EQ(0u, Count(standin::Kind::Click));
    CloseMessageBox(box);
    ExpectIdleAgain("0");
}

// A key of the user's, pressed on the keyboard while a page loads, ends the
// session as taking the mouse does.
TEST_F(Surfing, AUserWhoTypesDuringAVisitEndsTheSessionWithItsSummary) {
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0"));
    ASSERT_NO_FATAL_FAILURE(PutBrowserInFront());
    EXPECT_EQ(kSponsors, WaitForEnter(0, kFirstEnter));
    // The page loads for 15 to 25 s.
    ASSERT_TRUE(PressKeyOnTheDisplay(browser->Window(), "x")) << "xdotool could not press a key on the display";
    HWND box = program->WaitForMessageBox(Millis(10000));
    ASSERT_NE(nullptr, box) << "the session went on under the user's keys; " << program->Describe();
    EXPECT_EQ(kInterruptedCaption, ContentOf(box).caption);
    EXPECT_EQ(std::string(kSummary) + "1 page in 0:00", ContentOf(box).text);
    CloseMessageBox(box);
    ExpectIdleAgain("0");
}

// --- Every address proven before Enter --------------------------------------------

namespace {

// A busy browser, whose bar loses the fifth character typed after each click.
class SurfingABusyBrowser : public Surfing {
protected:
    SurfingABusyBrowser() : Surfing(kEntry, false, 5) {}
};

}  // namespace

// The bar, read back before Enter, shows the character lost: the address goes
// once more before Enter, which then opens it whole, as read back last.
TEST_F(SurfingABusyBrowser, EnterOpensTheAddressWholeAsReadBack) {
    ASSERT_NO_FATAL_FAILURE(StartSurfing("0"));
    ASSERT_NO_FATAL_FAILURE(PutBrowserInFront());
    EXPECT_EQ(kSponsors, WaitForEnter(0, kFirstEnter));
    EXPECT_EQ(1u, Count(standin::Kind::Dropped)) << "the bar lost nothing: the test proved less than it should";
    std::string lastRead;
    for (const standin::Event& e : browser->Events()) {
        if (e.kind == standin::Kind::Read) lastRead = e.text;
        if (e.kind == standin::Kind::Enter) break;
    }
    EXPECT_EQ(kSponsors, lastRead) << "Enter came without the bar read back";
}

}  // namespace e2e
