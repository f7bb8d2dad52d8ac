// Keys go only to the browser: on the simulated desktop, a browser that comes
// to the front late or never, or runs above us, the keyboard taken away while
// the address is typed, the program's own dialog under the cursor, a window
// of the user's over the address bar or on the glide's way, and an input
// method that would compose the keys.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "res/Texts.h"
#include "tests/host/SurfWorld.h"

namespace {

constexpr uint32_t kEditorThread = 3000;

// A window of the user's that stays on top, in the visit's way; or the
// browser gone, and something else under the address bar (a first page).
enum class Obstacle {
    kNone,
    kNoteOverBar,   // over the address bar
    kNudgeOnNote,   // across the glide's way, where the user nudges the mouse (a first page)
    kOtherProgram,  // a window of another program, where the browser recorded at calibration was
    kDesktop,       // the desktop, and no browser recorded
};

// Where the keyboard is while a later page is visited, and what comes of it.
struct GateCase {
    const char* name;
    sim::Activation browser;  // how the browser takes the front
    bool dialogUnderCursor;   // the address bar lies on the program's own dialog
    bool editorTakesKeyboard; // the user switches to the editor once the typing has begun
    bool typed;               // the address reaches the browser and the page counts
    Obstacle obstacle = Obstacle::kNone;
    bool aboveUs = false;     // the browser runs above our integrity level (elevated)
    bool composing = false;   // an input method is on in the browser
    sim::Layout layout = sim::Layout::kUs;  // the browser's
    uint64_t takeOnly = sim::kForever;      // events of each call that the system takes
};

bool FirstPage(const GateCase& c) {
    return c.dialogUnderCursor || c.obstacle == Obstacle::kNudgeOnNote || c.obstacle == Obstacle::kOtherProgram ||
           c.obstacle == Obstacle::kDesktop;
}

// A key and its modifiers, or a character's parts, go in one call: no call
// leaves a key down for the user's input to come after.
void ExpectEveryCallWhole(const std::vector<sim::Event>& keys) {
    std::map<std::pair<uint32_t, uint8_t>, int> down;  // (call, key) -> presses less releases
    for (const sim::Event& e : sim::Only(keys, {sim::Kind::KeyDown, sim::Kind::KeyUp}))
        down[{e.call, e.vk}] += e.kind == sim::Kind::KeyDown ? 1 : -1;
    for (const auto& [key, presses] : down) EXPECT_EQ(0, presses) << "call " << key.first << " left key " << int(key.second);
}

void PrintTo(const GateCase& c, std::ostream* os) { *os << c.name; }

// The editor where the user was writing, and the browser's address bar.
class GateWorld : public SurfTest {
protected:
    void SetUp() override {
        SurfTest::SetUp();
        // Another program, where the user was writing before the visit began.
        editor = sim::AddWindow("Editor", desktop::Rect{100, 500, 400, 700}, kEditorThread);
        sim::SetForeground(editor);
    }

    // Hands the keyboard to the editor as soon as the first key of the
    // address (after the three that clear the bar) has gone up.
    void EditorTakesTheKeyboardOnceTypingBegins() {
        watch_ = [this] {
            const std::vector<sim::Event> keys = sim::Only(sim::Events(), {sim::Kind::KeyUp});
            if (keys.size() >= 5) {
                sim::SetForeground(editor);
                return;
            }
            sim::At(sim::NowMs() + 5, watch_);
        };
        sim::At(sim::NowMs(), watch_);
    }

    // Puts the case's browser and obstacle in the visit's way; the note, if any.
    desktop::Window Obstruct(const GateCase& c) {
        sim::SetActivation(browser, c.browser);
        sim::SetAboveUs(sim::Win(browser).thread, c.aboveUs);
        sim::SetInputMethod(sim::Win(browser).thread, c.composing);
        sim::SetLayout(sim::Win(browser).thread, c.layout);
        sim::TakeOnly(c.takeOnly);
        if (c.obstacle == Obstacle::kNoteOverBar) return AddNote(desktop::Rect{100, 40, 900, 100}, false);
        if (c.obstacle == Obstacle::kNudgeOnNote) return AddNote(desktop::Rect{100, 300, 900, 400}, true);
        if (c.obstacle == Obstacle::kOtherProgram || c.obstacle == Obstacle::kDesktop) {
            sim::DestroyWindow(browser);
            if (c.obstacle == Obstacle::kDesktop) return sim::AddDesktop();
            surfer->m_strBrowser = kBrowserProgram;  // as Start takes it from the calibration
            const desktop::Window notes = sim::AddWindow("Notes", desktop::Rect{60, 40, 980, 300}, kNoteThread);
            sim::Win(notes).program = "notes.exe";
            return notes;
        }
        return nullptr;
    }

    // The design's gap to the next visit, whether or not this one could type.
    static void ExpectTheNextVisitArmed() {
        const sim::Timer next = sim::TimerOf(TIMER_SURF);
        EXPECT_EQ(uintptr_t{TIMER_SURF}, next.id);
        EXPECT_GE(next.periodMs, 5000u);
        EXPECT_LE(next.periodMs, 20000u);
    }

    desktop::Window editor = nullptr;

private:
    std::function<void()> watch_;
};

class KeyGate : public GateWorld, public ::testing::WithParamInterface<GateCase> {};

}  // namespace

TEST_P(KeyGate, KeysReachTheBrowserClickedOrNoWindowAtAll) {
    const GateCase& c = GetParam();
    Obstruct(c);
    if (c.dialogUnderCursor) {
        // The session's first page, just after Start: our dialog is in front.
        sim::SetForeground(surfer->DialogWindow());
        desktop::Rect status;
        desktop::GetWindowRect(surfer->Control(IDC_STATUS), status);
        surfer->m_rcAddressBar.Record(status);
    } else if (!FirstPage(c)) {
        AsAfterFirstPage();
    }
    if (c.editorTakesKeyboard) EditorTakesTheKeyboardOnceTypingBegins();
    const uint32_t pages = surfer->m_nPages;

    surfer->VisitPage();

    const std::vector<sim::Event> keys = sim::KeyEvents();
    for (const sim::Event& e : keys) EXPECT_EQ(browser, e.window) << sim::Describe(e);
    if (c.takeOnly == sim::kForever) ExpectEveryCallWhole(keys);
    // Nothing at all for a window that is not the browser's or that we may not type into.
    const bool clicks = !c.dialogUnderCursor && c.obstacle == Obstacle::kNone && !c.aboveUs;
    EXPECT_EQ(clicks, !sim::Only(sim::Events(), {sim::Kind::LeftDown}).empty());
    const std::vector<std::string> submitted = sim::ReplayIntoField(sim::Events(), "about:blank").submitted;
    if (c.typed) {
        EXPECT_EQ(std::vector<std::string>{kEntry}, submitted);
        EXPECT_EQ(pages + 1, surfer->m_nPages);
        // Only the characters go round the input method; the editing keys stay keys.
        const bool composes = c.composing || c.layout == sim::Layout::kJapanese;
        for (const sim::Event& e : sim::Only(keys, {sim::Kind::KeyDown}))
            EXPECT_TRUE(!composes || sim::TypedText({e}).empty()) << sim::Describe(e);
    } else if (c.takeOnly != sim::kForever) {
        EXPECT_EQ("+Home* -Home* +Shift +End* -End*", sim::KeyLog(keys)) << "nothing after the key cut short";
    } else {
        EXPECT_EQ(c.editorTakesKeyboard, !keys.empty()) << "keys only while the browser had the keyboard";
        EXPECT_TRUE(submitted.empty()) << "Enter was pressed";
        EXPECT_EQ(pages, surfer->m_nPages) << "a visit that could not type counts no page";
        EXPECT_TRUE(sim::Only(sim::Events(), {sim::Kind::Wheel}).empty()) << "nor reads one";
    }
    EXPECT_TRUE(sim::MessageBoxes().empty());
    ExpectTheNextVisitArmed();
}

using O = Obstacle;
const GateCase kGateCases[] = {
    {"BrowserInFrontAtOnce", {}, false, false, true},
    // Later than the glide to the address bar that follows the request to come forward.
    {"BrowserComesAMomentAfterTheClick", {false, 1200}, false, false, true},
    // The lock screen takes our click: the user's editor keeps the keyboard.
    {"BrowserNeverComesToTheFront", {true, 0}, false, false, false},
    {"BrowserComesTooLate", {false, 5000}, false, false, false},
    {"KeyboardTakenAwayWhileTyping", {}, false, true, false},
    {"OurOwnDialogUnderTheCursor", {}, true, false, false},
    // The platform would drop our input to it, in front or not.
    {"BrowserRunsAboveUs", {}, false, false, false, O::kNone, true},
    {"NoteOverTheAddressBar", {}, false, false, false, O::kNoteOverBar},
    {"NudgeStopsTheGlideOverANote", {}, false, false, false, O::kNudgeOnNote},
    {"InputMethodComposes", {}, false, false, true, O::kNone, false, true},
    // An input method that may not answer whether it composes.
    {"InputMethodsLayout", {}, false, false, true, O::kNone, false, false, sim::Layout::kJapanese},
    {"SystemTakesPartOfAChord", {}, false, false, false, O::kNone, false, false, sim::Layout::kUs, 3},
    {"AnotherProgramWhereTheRecordedBrowserWas", {}, false, false, false, O::kOtherProgram},
    {"TheDesktopWhereTheBrowserWas", {}, false, false, false, O::kDesktop},
};

INSTANTIATE_TEST_SUITE_P(Keyboard, KeyGate, ::testing::ValuesIn(kGateCases),
                         [](const ::testing::TestParamInfo<GateCase>& info) { return info.param.name; });

using Reach = KeyGate;

// The user would want to know why nothing happens in the browser: after
// several visits in a row could not type, the status line says so, until a
// visit types again. The session goes on meanwhile, without a message. A
// visit that the user's own nudge stopped says nothing of the browser.
TEST_P(Reach, SeveralVisitsInARowThatCannotTypeAreToldInTheStatusLine) {
    surfer->OnStartStop();
    RunUntilVisitsEnded(sim::Mark(), 1);
    ASSERT_EQ(1u, surfer->m_nPages);
    sim::SetForeground(editor);
    sim::PlaceCursor(desktop::Point{500, 600});
    const desktop::Window note = Obstruct(GetParam());
    const bool told = GetParam().obstacle != Obstacle::kNudgeOnNote;
    const size_t mark = sim::Mark();
    const std::string designed = "Will surf until user interrupts me";
    for (size_t n = 1; n <= 4; ++n) {
        RunUntilVisitsEnded(mark, n);
        EXPECT_EQ(told && n >= 3 ? "Cannot reach the browser" : designed, surfer->Text(IDC_STATUS))
            << "after visit " << n;
    }
    EXPECT_TRUE(sim::KeyEvents(sim::EventsSince(mark)).empty());
    EXPECT_EQ(1u, surfer->m_nPages);

    Obstruct(GateCase{});
    if (note) sim::DestroyWindow(note);
    RunUntilVisitsEnded(mark, 5);
    EXPECT_EQ(2u, surfer->m_nPages);
    EXPECT_EQ(designed, surfer->Text(IDC_STATUS));
    EXPECT_EQ(TEXT_STOP, surfer->Text(IDOK));
    EXPECT_TRUE(sim::MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Browser, Reach, ::testing::Values(kGateCases[2], kGateCases[6], kGateCases[7], kGateCases[8]),
                         [](const ::testing::TestParamInfo<GateCase>& info) { return info.param.name; });

// Caps Lock as the browser has it when each address is typed, after the user
// toggled it there between visits.
TEST_F(SurfTest, CapsLockIsReadAfreshForEachAddress) {
    surfer->OnStartStop();
    const size_t mark = sim::Mark();
    for (size_t n = 1; n <= 3; ++n) {
        sim::SetCapsLock(n == 2);
        RunUntilVisitsEnded(mark, n);
    }
    const std::vector<std::string> submitted = {kSponsors, kEntry, kEntry};
    EXPECT_EQ(submitted, sim::ReplayIntoField(sim::EventsSince(mark), "about:blank").submitted);
}

namespace {

// The address bar as the browser shows it to accessibility, and how the
// visit fares with it: what the keys since `mark` made of "about:blank", but
// that a busy browser lost the third character of each of the first `drops`
// typings (each begins with Home); Escape gives the edit up.
struct ReadBackCase {
    const char* name;
    bool answers;
    bool editable;
    uint64_t answerMs;
    int drops;
    bool entered;  // the entry, whole, and Enter; else no Enter and no page
    bool retyped;  // typed once more, as characters
};

void PrintTo(const ReadBackCase& c, std::ostream* os) { *os << c.name; }

sim::FieldState AsTheBarHasIt(const std::vector<sim::Event>& events, int drops) {
    std::vector<sim::Event> kept;
    int typings = 0, typed = 0;
    for (const sim::Event& e : events) {
        if (e.kind == sim::Kind::KeyDown && e.vk == desktop::kVkHome) ++typings, typed = 0;
        const bool typesOne = (e.kind == sim::Kind::KeyDown || e.kind == sim::Kind::CharDown) && !sim::TypedText({e}).empty();
        if (typesOne && ++typed == 3 && typings <= drops) continue;
        if (e.kind == sim::Kind::KeyDown && e.vk == desktop::kVkEscape) return sim::FieldState{"about:blank", {}};
        kept.push_back(e);
    }
    return sim::ReplayIntoField(kept, "about:blank");
}

class ReadBack : public GateWorld, public ::testing::WithParamInterface<ReadBackCase> {};

}  // namespace

// Before any key, the element clicked must be a text that takes typing; before
// Enter, the bar read back must hold the address drawn, once more typed as
// characters if need be, else the edit is given up. A bar that tells nothing,
// or not in time, is typed into as before.
TEST_P(ReadBack, EnterOpensTheAddressDrawnOrNothing) {
    const ReadBackCase& c = GetParam();
    AsAfterFirstPage();
    const size_t mark = sim::Mark();
    if (c.answers) {
        sim::SetAccessible(bar, sim::Accessible{c.editable, c.answerMs, [mark, drops = c.drops] {
                                                    return AsTheBarHasIt(sim::EventsSince(mark), drops).text;
                                                }});
    }
    surfer->VisitPage();

    const std::vector<sim::Event> keys = sim::KeyEvents();
    const std::vector<std::string> entered = AsTheBarHasIt(keys, c.drops).submitted;
    EXPECT_EQ(c.entered ? std::vector<std::string>{kEntry} : std::vector<std::string>{}, entered);
    EXPECT_EQ(c.entered ? 2u : 1u, surfer->m_nPages);
    EXPECT_EQ(c.entered ? 0u : 1u, surfer->m_nUnreached);
    EXPECT_EQ(c.editable, !keys.empty()) << "a key after clicking what is no text";
    EXPECT_EQ(c.retyped, !sim::Only(keys, {sim::Kind::CharDown}).empty());
    const bool escaped = sim::KeyLog(keys).find("+Esc") != std::string::npos;
    EXPECT_EQ(c.editable && !c.entered, escaped);
    ExpectTheNextVisitArmed();
}

const ReadBackCase kReadBackCases[] = {
    {"SaysNothing", false, true, 0, 0, true, false},
    {"AnswersTooLate", true, true, 600, 0, true, false},
    {"IsNoTextThatTakesTyping", true, false, 0, 0, false, false},
    {"HoldsTheAddress", true, true, 40, 0, true, false},
    {"LostACharacter", true, true, 0, 1, true, true},
    {"LostACharacterEachTime", true, true, 0, 2, false, true},
};

INSTANTIATE_TEST_SUITE_P(Bar, ReadBack, ::testing::ValuesIn(kReadBackCases),
                         [](const ::testing::TestParamInfo<ReadBackCase>& info) { return info.param.name; });
