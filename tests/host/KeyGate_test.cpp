// Keys go only to the browser that was clicked: on the simulated desktop, a
// browser that comes to the front late or never, the keyboard taken away
// while the address is typed, and the program's own dialog under the cursor.
#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/host/SurfWorld.h"

namespace {

constexpr uint32_t kEditorThread = 3000;

// Where the keyboard is while a later page is visited, and what comes of it.
struct GateCase {
    const char* name;
    sim::Activation browser;  // how the browser takes the front
    bool dialogUnderCursor;   // the address bar lies on the program's own dialog
    bool editorTakesKeyboard; // the user switches to the editor once the typing has begun
    bool typed;               // the address reaches the browser and the page counts
};

void PrintTo(const GateCase& c, std::ostream* os) { *os << c.name; }

class KeyGate : public SurfTest, public ::testing::WithParamInterface<GateCase> {
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

}  // namespace

TEST_P(KeyGate, KeysReachTheBrowserClickedOrNoWindowAtAll) {
    const GateCase& c = GetParam();
    sim::SetActivation(browser, c.browser);
    if (c.dialogUnderCursor) {
        // The session's first page, just after Start: our dialog is in front.
        sim::SetForeground(surfer->DialogWindow());
        desktop::GetWindowRect(surfer->Control(IDC_STATUS), surfer->m_rcAddressBar);
    } else {
        AsAfterFirstPage();
    }
    if (c.editorTakesKeyboard) EditorTakesTheKeyboardOnceTypingBegins();
    const uint32_t pages = surfer->m_nPages;

    surfer->VisitPage();

    const std::vector<sim::Event> keys = sim::KeyEvents();
    for (const sim::Event& e : keys) EXPECT_EQ(browser, e.window) << sim::Describe(e);
    const std::vector<std::string> submitted = sim::ReplayIntoField(sim::Events(), "about:blank").submitted;
    if (c.typed) {
        EXPECT_EQ(std::vector<std::string>{kEntry}, submitted);
        EXPECT_EQ(pages + 1, surfer->m_nPages);
    } else {
        EXPECT_EQ(c.editorTakesKeyboard, !keys.empty()) << "keys only while the browser had the keyboard";
        EXPECT_TRUE(submitted.empty()) << "Enter was pressed";
        EXPECT_EQ(pages, surfer->m_nPages) << "a visit that could not type counts no page";
        EXPECT_TRUE(sim::Only(sim::Events(), {sim::Kind::Wheel}).empty()) << "nor reads one";
    }
    EXPECT_TRUE(sim::MessageBoxes().empty());
    ExpectTheNextVisitArmed();
}

const GateCase kGateCases[] = {
    {"BrowserInFrontAtOnce", {}, false, false, true},
    // Later than the glide to the address bar that follows the request to come forward.
    {"BrowserComesAMomentAfterTheClick", {false, 1200}, false, false, true},
    // An elevated browser ignores our click, the lock screen takes it: the
    // user's editor keeps the keyboard.
    {"BrowserNeverComesToTheFront", {true, 0}, false, false, false},
    {"BrowserComesTooLate", {false, 5000}, false, false, false},
    {"KeyboardTakenAwayWhileTyping", {}, false, true, false},
    {"OurOwnDialogUnderTheCursor", {}, true, false, false},
};

INSTANTIATE_TEST_SUITE_P(Keyboard, KeyGate, ::testing::ValuesIn(kGateCases),
                         [](const ::testing::TestParamInfo<GateCase>& info) { return info.param.name; });

// The user would want to know why nothing happens in the browser: after
// several visits in a row could not type, the status line says so, until a
// visit types again. The session goes on meanwhile, without a message.
TEST_F(SurfTest, VisitsThatCannotReachTheBrowserAreToldInTheStatusLine) {
    const desktop::Window editor = sim::AddWindow("Editor", desktop::Rect{100, 500, 400, 700}, kEditorThread);
    sim::SetForeground(editor);
    sim::SetActivation(browser, sim::Activation{true, 0});
    surfer->OnStartStop();
    const size_t mark = sim::Mark();
    const auto visits = [&] { return sim::Only(sim::EventsSince(mark), {sim::Kind::LeftDown}).size(); };
    const auto untilVisitEnds = [&](size_t n) {
        while (visits() < n || !sim::TimerPending(TIMER_SURF)) surfer->RunFor(1000);
        surfer->RunFor(1000);  // a status tick
    };
    const std::string designed = "Will surf until user interrupts me";

    for (size_t n = 1; n <= 4; ++n) {
        untilVisitEnds(n);
        EXPECT_EQ(n < 3 ? designed : "Cannot reach the browser", surfer->Text(IDC_STATUS)) << "after visit " << n;
    }
    EXPECT_TRUE(sim::KeyEvents(sim::EventsSince(mark)).empty());
    EXPECT_EQ(0u, surfer->m_nPages);

    sim::SetActivation(browser, sim::Activation{});
    untilVisitEnds(5);
    EXPECT_EQ(1u, surfer->m_nPages);
    EXPECT_EQ(designed, surfer->Text(IDC_STATUS));
    EXPECT_EQ("Stop Surfing", surfer->Text(IDOK));
    EXPECT_TRUE(sim::MessageBoxes().empty());
}
