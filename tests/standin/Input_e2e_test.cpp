// The input primitives end to end: real synthesised input, delivered by the
// window system to the stand-in browser in another process, which logs what
// arrived. Run under Wine here, and as they are on Windows.
//
// Before typing, every test puts the stand-in in front with its bar focused
// and waits until it is so. Under Wine a window's activation is applied
// asynchronously (through X focus events), and keys synthesised at once after
// an activation were seen reaching the previously active window. Windows
// queues input in order, so this is a property of the test bed, not of the
// program; waiting keeps the tests about what the primitives send.
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <thread>

#include "engine/Input.h"
#include "ui/Surfer.h"
#include "framework/Desktop.h"
#include "res/resource.h"
#include "tests/standin/StandinProcess.h"

namespace {

using standin::Event;
using standin::Kind;

// Under Wine, the process that keeps the desktop (explorer.exe) ends a few
// seconds after the last program, and the next program starts it again.
// Until it is up, the cursor is confined to an empty rectangle, so that
// SetCursorPos does nothing and the cursor reads as (0, 0). Each test runs in
// a fresh process, so every one waits for the desktop first.
class DesktopReady : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(e2e::WaitUntil([] {
            const desktop::Rect clip = desktop::CursorClip();
            return clip.right > clip.left && clip.bottom > clip.top;
        }, e2e::Millis(20000))) << "the desktop did not come up";
    }
};
::testing::Environment* const desktopReady = ::testing::AddGlobalTestEnvironment(new DesktopReady);

bool CapsLockOn() { return (GetKeyState(VK_CAPITAL) & 1) != 0; }

// Into the window in front. Caps Lock read on this thread, which is attached
// to no other: attaching to the window's at every character would reset the
// key state that it makes the previous character with.
void TypeChar(char32_t c) {
    const desktop::Window window = desktop::GetForegroundWindow();
    ::TypeChar(c, KeyboardState{desktop::LayoutOfWindow(window), CapsLockOn(), false});
}

const uint8_t kVkReturn = desktop::kVkReturn;
const uint32_t kShiftEnd = 0x123;

class StandinTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(browser_.Ready()) << "the stand-in did not start";
        ASSERT_TRUE(browser_.PutInFrontWithBarFocused()) << "the stand-in did not come to the front";
    }

    // Presses Enter and returns the bar's text that the stand-in saw then.
    std::string EnterAndReadBar() {
        const size_t before = standin::OfKind(browser_.Events(), Kind::Enter).size();
        TapKey(kVkReturn);
        EXPECT_TRUE(e2e::WaitUntil([&] { return standin::OfKind(browser_.Events(), Kind::Enter).size() > before; }))
            << "Enter did not arrive";
        auto enters = standin::OfKind(browser_.Events(), Kind::Enter);
        return enters.size() > before ? enters.back().text : std::string();
    }

    // The characters the bar received, without the Enters that ended the typing.
    std::u16string Typed() {
        std::u16string chars = standin::CharsReceived(browser_.Events());
        std::u16string typed;
        for (char16_t c : chars)
            if (c != u'\r') typed.push_back(c);
        return typed;
    }

    standin::Process browser_;
};

TEST_F(StandinTest, EveryPrintableAsciiCharacterArrivesAsItself) {
    browser_.SetBarText("");
    std::string printable;
    for (int c = 0x20; c < 0x7F; ++c) printable.push_back(static_cast<char>(c));

    for (char c : printable) TypeChar(c);

    EXPECT_EQ(EnterAndReadBar(), printable);
    EXPECT_EQ(Typed(), std::u16string(printable.begin(), printable.end()));
    // Each by its key in the stand-in's layout; as a Unicode character only
    // where that layout has none (under Wine, on Xvfb's keyboard, parentheses).
    const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(browser_.Window(), nullptr));
    size_t keyless = 0, packets = 0;
    for (char c : printable) keyless += VkKeyScanExW(static_cast<WCHAR>(c), layout) == -1;
    for (const Event& e : standin::OfKind(browser_.Events(), Kind::KeyDown)) packets += e.Value(0) == VK_PACKET;
    EXPECT_EQ(keyless, packets);
    EXPECT_LT(keyless, 10u);
}

TEST_F(StandinTest, ControlCharactersAreNeverTyped) {
    browser_.SetBarText("");
    for (int c : {0x09, 0x1B, 0x0D, 0x0A, 0x08, 0x7F, 0x01}) TypeChar(c);  // tab, escape, CR, LF, backspace, DEL, ^A
    TypeChar('x');

    EXPECT_EQ(EnterAndReadBar(), "x");
    EXPECT_EQ(Typed(), u"x");
}

TEST_F(StandinTest, CharacterWithoutAKeyArrivesAsItsUnicodeCharacter) {
    browser_.SetBarText("");
    // No key of a US layout makes these; the last is beyond the first plane,
    // typed as a surrogate pair.
    TypeChar(0xE9);
    TypeChar(0x20AC);
    TypeChar(0x1F600);

    EXPECT_EQ(EnterAndReadBar(), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");  // UTF-8
    EXPECT_EQ(Typed(), u"\u00E9\u20AC\U0001F600");
}

// Caps Lock on, as the user may have left it, and back as it was whatever the
// test's outcome.
class CapsLockToggled {
public:
    CapsLockToggled() { Toggle(); }
    ~CapsLockToggled() { Toggle(); }
    CapsLockToggled(const CapsLockToggled&) = delete;
    CapsLockToggled& operator=(const CapsLockToggled&) = delete;

private:
    static void Toggle() {
        keybd_event(VK_CAPITAL, 0, 0, 0);
        keybd_event(VK_CAPITAL, 0, KEYEVENTF_KEYUP, 0);
    }
};

// Caps Lock toggled while another program had the keyboard, and the browser
// brought forward from a third one since, as a session's later page does: the
// program reads it as the browser has it, although its own thread took no
// keys and had its input attached meanwhile. Without that, every letter here
// would arrive in the other case.
TEST_F(StandinTest, WithCapsLockOnLettersArriveInTheCaseWritten) {
    browser_.SetBarText("");
    const bool before = CapsLockOn();
    {
        CapsLockToggled capsLock;
        ASSERT_TRUE(e2e::WaitUntil([&] { return CapsLockOn() != before; })) << "Caps Lock did not change";
        standin::Process other;
        ASSERT_TRUE(other.Ready() && other.PutInFrontWithBarFocused()) << "the other program did not come to the front";
        BringToFront(browser_.Window());
        ASSERT_TRUE(browser_.PutInFrontWithBarFocused()) << "the stand-in did not come back to the front";

        const KeyboardState keyboard = KeyboardOf(browser_.Window());
        const std::string text = "Www.Example.com/MiXed?Q=1";
        for (char c : text) TypeChar(static_cast<unsigned char>(c), keyboard);
        EXPECT_EQ(EnterAndReadBar(), text);
    }
    EXPECT_TRUE(e2e::WaitUntil([&] { return CapsLockOn() == before; })) << "Caps Lock left changed";
}

TEST_F(StandinTest, HomeShiftEndDeleteClearsTheBar) {
    browser_.SetBarText("http://www.example.com/some/path?q=1", 10);

    TapKey(desktop::kVkHome);
    PressKey(kShiftEnd);
    PressKey(desktop::kVkDelete);

    EXPECT_EQ(EnterAndReadBar(), "");
    // The navigation keys arrived as the dedicated keys, Shift as itself.
    for (const Event& e : browser_.Events()) {
        if (e.kind != Kind::KeyDown && e.kind != Kind::KeyUp) continue;
        const int64_t vk = e.Value(0);
        const bool navigation = vk == desktop::kVkHome || vk == desktop::kVkEnd || vk == desktop::kVkDelete;
        EXPECT_EQ(e.Value(2), navigation ? 1 : 0) << "key " << vk;
    }
}

TEST_F(StandinTest, ClickAndWheelReachTheWindowUnderTheCursor) {
    const std::string url = "http://www.example.com/";
    browser_.SetBarText(url, 0);
    RECT bar = {};
    ::GetWindowRect(browser_.Bar(), &bar);
    const desktop::Point target{bar.right - 10, (bar.top + bar.bottom) / 2};
    // Put there in one move, not glided: see GlideTest for why.
    desktop::SetCursorPos(target);
    ASSERT_TRUE(e2e::WaitUntil([&] { return desktop::GetCursorPos() == target; }));

    // A click right of the text puts the caret at its end.
    ClickLeft();
    ASSERT_TRUE(browser_.WaitForKind(Kind::Click)) << "the click did not arrive";
    const Event click = standin::OfKind(browser_.Events(), Kind::Click).front();
    EXPECT_EQ(click.Value(0), target.x);
    EXPECT_EQ(click.Value(1), target.y);
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return LOWORD(SendMessageA(browser_.Bar(), EM_GETSEL, 0, 0)) == url.size();
    })) << "the click did not move the caret";

    desktop::SendWheel(120);
    desktop::SendWheel(-240);
    ASSERT_TRUE(e2e::WaitUntil([&] { return standin::OfKind(browser_.Events(), Kind::Wheel).size() >= 2; }))
        << "the wheel turns did not arrive";
    auto wheels = standin::OfKind(browser_.Events(), Kind::Wheel);
    EXPECT_EQ(wheels[0].Value(0), 120);
    EXPECT_EQ(wheels[1].Value(0), -240);
}

// --- The stand-in's address bar, as today's browsers have it ------------------------

// What the surfing tests rely on: the bar completes from its history and leaves
// the completion selected, so that Enter opens it; a deletion keeps it from
// completing again until the next character; and after Enter, a click into
// the bar selects all of it.
TEST(AddressBarTest, CompletesInlineUntilADeletionAndAFocusingClickSelectsAll) {
    standin::Options options;
    options.history = {"http://www.example.com/garden/roses", "http://www.example.org/"};
    standin::Process browser(options);
    ASSERT_TRUE(browser.Ready());
    ASSERT_TRUE(browser.PutInFrontWithBarFocused());
    browser.SetBarText("");
    const auto barReads = [&](const std::string& text) {
        char buffer[256] = "";
        EXPECT_TRUE(e2e::WaitUntil([&] {
            SendMessageA(browser.Bar(), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
            return text == buffer;
        })) << "the bar reads \"" << buffer << "\", not \"" << text << "\"";
    };

    TypeChar('w');
    barReads("www.example.com/garden/roses");
    PressBackspace(1);  // takes the selected completion away, and nothing else
    barReads("w");
    TypeChar('w');
    TypeChar('w');
    TypeChar('.');
    TypeChar('e');
    barReads("www.example.com/garden/roses");
    PressKey(desktop::kVkDelete);
    barReads("www.e");
    TapKey(kVkReturn);
    EXPECT_TRUE(browser.WaitForKind(Kind::Enter));
    EXPECT_TRUE(e2e::WaitUntil([&] { return browser.FocusedWindow() != browser.Bar(); }))
        << "the page did not take the keyboard";

    RECT bar = {};
    ::GetWindowRect(browser.Bar(), &bar);
    const desktop::Point target{bar.left + 10, (bar.top + bar.bottom) / 2};
    desktop::SetCursorPos(target);
    ASSERT_TRUE(e2e::WaitUntil([&] { return desktop::GetCursorPos() == target; }));
    ClickLeft();
    EXPECT_TRUE(e2e::WaitUntil([&] { return SendMessageA(browser.Bar(), EM_GETSEL, 0, 0) == MAKELRESULT(0, 5); }))
        << "the click did not select the whole address";
    TypeChar('w');
    // w, ww, www, www., www.e; and w again, completed from the address most
    // recently visited.
    ASSERT_TRUE(e2e::WaitUntil([&] { return standin::OfKind(browser.Events(), Kind::Complete).size() == 6; }));
    const auto completions = standin::OfKind(browser.Events(), Kind::Complete);
    EXPECT_EQ(completions[0].Value(0), 1);
    EXPECT_EQ(completions[0].text, "www.example.com/garden/roses");
    EXPECT_EQ(completions[5].Value(0), 1);
    EXPECT_EQ(completions[5].text, "www.e");
    const auto enters = standin::OfKind(browser.Events(), Kind::Enter);
    ASSERT_EQ(enters.size(), 1u);
    EXPECT_EQ(enters[0].text, "www.e");
}

// --- BringToFront ------------------------------------------------------------

// A window of the test's own, to be in front before the stand-in is brought there.
class OwnWindow {
public:
    OwnWindow() {
        window_ = CreateWindowExA(0, "STATIC", "test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 400, 200, 120,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~OwnWindow() { DestroyWindow(window_); }
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
    HWND Handle() const { return window_; }

    bool PutInFront() const {
        ::SetForegroundWindow(window_);
        return e2e::WaitUntil([this] { return ::GetForegroundWindow() == window_; });
    }

private:
    HWND window_ = nullptr;
};

bool SamePlacement(const WINDOWPLACEMENT& a, const WINDOWPLACEMENT& b) {
    return a.showCmd == b.showCmd && EqualRect(&a.rcNormalPosition, &b.rcNormalPosition) &&
           (a.showCmd != SW_SHOWMAXIMIZED ||
            (a.ptMaxPosition.x == b.ptMaxPosition.x && a.ptMaxPosition.y == b.ptMaxPosition.y));
}

std::string Describe(const WINDOWPLACEMENT& p) {
    const RECT& r = p.rcNormalPosition;
    return "show " + std::to_string(p.showCmd) + ", normal (" + std::to_string(r.left) + ", " +
           std::to_string(r.top) + ", " + std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

class BringToFrontTest : public ::testing::TestWithParam<const char*> {};

// A minimised stand-in is restored; any other stays as it was.
TEST_P(BringToFrontTest, RestoresTheStandinOnlyWhenItIsMinimised) {
    OwnWindow other;
    standin::Process browser(GetParam());
    ASSERT_TRUE(browser.Ready());
    ASSERT_TRUE(other.PutInFront());
    // A new window's placement settles a moment after it is shown under Wine.
    WINDOWPLACEMENT before = {};
    ASSERT_TRUE(e2e::WaitUntil([&] {
        WINDOWPLACEMENT first = {}, second = {};
        browser.Placement(first);
        e2e::WaitUntil([] { return false; }, e2e::Millis(200));
        browser.Placement(second);
        before = second;
        return SamePlacement(first, second);
    })) << "the stand-in's placement kept changing";
    const bool minimised = before.showCmd == SW_SHOWMINIMIZED;

    BringToFront(browser.Window());

    // Activation and the restore are applied asynchronously here.
    EXPECT_TRUE(e2e::WaitUntil([&] { return ::GetForegroundWindow() == browser.Window() && !IsIconic(browser.Window()); }))
        << "the stand-in did not come to the front, restored";
    e2e::WaitUntil([] { return false; }, e2e::Millis(300));  // let any late resize land
    WINDOWPLACEMENT after = {};
    ASSERT_TRUE(browser.Placement(after));
    // Wine gives a window made minimised no normal position before its restore.
    if (minimised)
        EXPECT_EQ(after.showCmd, UINT{SW_SHOWNORMAL}) << "after: " << Describe(after);
    else
        EXPECT_TRUE(SamePlacement(before, after)) << "before: " << Describe(before) << "; after: " << Describe(after);
    EXPECT_FALSE(IsIconic(browser.Window()));
    EXPECT_EQ(IsZoomed(browser.Window()) != FALSE, before.showCmd == SW_SHOWMAXIMIZED);
}

INSTANTIATE_TEST_SUITE_P(ShowStates, BringToFrontTest, ::testing::Values("normal", "maximized", "minimized"));

// A window in front that stops taking its messages, as a hung browser does:
// bringing another window forward must not wait for it.
TEST(BringToFrontHungTest, DoesNotWaitForAHungWindowInFront) {
    OwnWindow mine;
    standin::Process browser;
    ASSERT_TRUE(browser.Ready());
    ASSERT_TRUE(browser.PutInFrontWithBarFocused());
    constexpr DWORD kHangMs = 60000;
    PostMessageA(browser.Window(), standin::kRequestHang, kHangMs, 0);
    ASSERT_TRUE(e2e::WaitUntil([&] {
        DWORD_PTR ignored = 0;
        return !SendMessageTimeoutA(browser.Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &ignored);
    })) << "the stand-in did not hang";

    const DWORD start = GetTickCount();
    BringToFront(mine.Handle());
    EXPECT_LT(GetTickCount() - start, kHangMs / 2) << "it waited for the hung stand-in";
}

// --- Glide --------------------------------------------------------------------

// Run with no window of another process under the path. Under Wine, while a
// window of another process that pumps messages lies under the cursor, a read
// of the cursor soon after SetCursorPos at times gives an earlier position, so
// that a glide across it loses moves and ends short, or stops as if the user
// had taken the mouse: over the stand-in, 30 glides of 100 steps at 5 ms ended
// exactly in 11 (and in none inside Wine's virtual desktop). Windows reads back
// what was set; that is the test bed's, not the glide's.
TEST(GlideTest, EndsExactlyOnItsTarget) {
    struct Case {
        desktop::Point from, to;
        uint32_t steps;
    };
    // The shapes of the worked examples, and a long diagonal with remainders
    // on both axes.
    const Case cases[] = {
        {{100, 100}, {130, 405}, 100}, {{140, 100}, {160, 300}, 50}, {{10, 10}, {13, 11}, 100},
        {{500, 300}, {400, 300}, 100}, {{900, 700}, {3, 17}, 77},
    };
    for (const Case& c : cases) {
        desktop::SetCursorPos(c.from);
        ASSERT_EQ(desktop::GetCursorPos(), c.from);

        EXPECT_EQ(GlideCursor(c.to.x, c.to.y, c.steps, 5), 0);

        const desktop::Point end = desktop::GetCursorPos();
        EXPECT_EQ(end, c.to) << "from (" << c.from.x << ", " << c.from.y << ") ended at (" << end.x << ", "
                             << end.y << ") instead of (" << c.to.x << ", " << c.to.y << ")";
    }
}

// --- WatchfulWait --------------------------------------------------------------

// The main dialog's engine side on a hidden window of this test that has the
// controls of the status line.
class WaitingSurfer : public CSurfer {
public:
    WaitingSurfer() {
        dialog_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        for (int id : {IDC_HOURS, IDC_HOURS_LABEL, IDC_STOP_AFTER_LABEL, IDC_STATUS})
            CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 300, 20, dialog_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
        m_nState = 1;
        m_fHours = 1.5f;
        m_tStart = desktop::Now();
    }
    ~WaitingSurfer() override { DestroyWindow(dialog_); }
    desktop::Window DialogWindow() const override { return dialog_; }
    bool UpdateData(bool) override { return true; }

private:
    HWND dialog_ = nullptr;
};

// Plays the user: moves the cursor `moves` times by 50 pixels, the first
// after 200 ms and the others 200 ms apart, from a thread of its own while the
// test's thread is blocked in the wait.
class User {
public:
    explicit User(int moves)
        : thread_([moves] {
              for (int i = 0; i < moves; ++i) {
                  ::Sleep(200);
                  desktop::Point p = desktop::GetCursorPos();
                  desktop::SetCursorPos(desktop::Point{p.x + 50, p.y});
              }
          }) {}
    ~User() { thread_.join(); }
    User(const User&) = delete;
    User& operator=(const User&) = delete;

private:
    std::thread thread_;
};

TEST(WatchfulWaitTest, OneMoveOfTheUserIsToleratedASecondInterrupts) {
    WaitingSurfer surfer;
    desktop::SetCursorPos(desktop::Point{200, 300});
    {
        User user(1);
        EXPECT_EQ(surfer.WatchfulWait(1500), 0) << "a single nudge interrupted the wait";
    }
    {
        User user(2);
        // Long enough that only the interruption can end it within the test's time.
        EXPECT_EQ(surfer.WatchfulWait(30000), 1) << "two moves did not interrupt the wait";
    }
    // The wait kept the status line fresh meanwhile.
    EXPECT_EQ(desktop::GetText(desktop::DialogItem(surfer.DialogWindow(), IDC_STATUS)),
              "Will stop in 1 hour, 30 minutes");
}

// --- The seam's own Win32 side ------------------------------------------------------

TEST(DesktopWinTest, TextsOfAnyLengthAndTheProgramsName) {
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    const std::string longText(3000, 'w');
    desktop::SetText(edit, longText);
    EXPECT_EQ(desktop::GetText(edit), longText);
    desktop::SetText(edit, "");
    EXPECT_EQ(desktop::GetText(edit), "");
    DestroyWindow(edit);

    EXPECT_EQ(desktop::AppName(), "input_e2e_tests");
}

}  // namespace
