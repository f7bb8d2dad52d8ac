// The simulated desktop itself: later tests lean on its clock, its scripted
// user, its timers and its dialog, so these must hold.
#include "res/Texts.h"
#include "tests/sim/SimTest.h"
#include "tests/sim/TestSurfer.h"

namespace {

using desktop::Point;
using SimDesktop = SimTest;

TEST_F(SimDesktop, SleepAdvancesTheClockAndTheCalendar) {
    sim::SetEpoch(1000);
    desktop::Sleep(999);
    EXPECT_EQ(desktop::Now(), 1000);
    desktop::Sleep(1);
    EXPECT_EQ(desktop::Now(), 1001);
    EXPECT_EQ(sim::NowMs(), 1000u);
    EXPECT_EQ(sim::Sleeps(), (std::vector<uint32_t>{999, 1}));
}

TEST_F(SimDesktop, ScriptRunsAtItsExactTimeInsideASleep) {
    std::vector<uint64_t> seen;
    sim::At(30, [&] { seen.push_back(sim::NowMs()); });
    sim::At(10, [&] { seen.push_back(sim::NowMs()); });
    desktop::Sleep(25);
    EXPECT_EQ(seen, (std::vector<uint64_t>{10}));
    desktop::Sleep(25);
    EXPECT_EQ(seen, (std::vector<uint64_t>{10, 30}));
    EXPECT_EQ(sim::NowMs(), 50u);
}

TEST_F(SimDesktop, UserMovesAreClippedAndNotRecorded) {
    sim::SetVirtualScreen({-1280, -200, 1024, 768});
    sim::PlaceCursor({-1000, -100});
    sim::UserMovesBy(5, -1000, 0);
    sim::Advance(5);
    EXPECT_EQ(sim::Cursor(), (Point{-1280, -100}));
    desktop::SetCursorPos({2000, -500});
    EXPECT_EQ(desktop::GetCursorPos(), (Point{1023, -200}));
    ASSERT_EQ(sim::Events().size(), 1u);
    EXPECT_EQ(sim::Events()[0].landed, (Point{1023, -200}));
}

TEST_F(SimDesktop, MoveBeforeACursorRead) {
    sim::PlaceCursor({10, 10});
    sim::UserMovesByBeforeRead(2, 3, 4);
    EXPECT_EQ(desktop::GetCursorPos(), (Point{10, 10}));
    EXPECT_EQ(desktop::GetCursorPos(), (Point{13, 14}));
}

TEST_F(SimDesktop, MessageLoopDeliversTimersOnTimeAndCoalescesLateTicks) {
    TestSurfer dialog;
    const sim::Window w = dialog.DialogWindow();
    desktop::SetTimer(w, 1, 1000);
    desktop::SetTimer(w, 2, 2500);
    std::vector<std::pair<uintptr_t, uint64_t>> ticks;
    sim::RunFor(5000, [&](sim::Window, uintptr_t id) {
        ticks.push_back({id, sim::NowMs()});
        if (id == 2) desktop::Sleep(2200);  // a long handler: timer 1 misses two ticks
    });
    const std::vector<std::pair<uintptr_t, uint64_t>> expected = {
        {1, 1000}, {1, 2000}, {2, 2500}, {1, 4700}, {2, 5000}};
    EXPECT_EQ(ticks, expected);
    EXPECT_EQ(sim::NowMs(), 7200u) << "the last handler ran past the end";
}

TEST_F(SimDesktop, HandlerThatStopsOrReArmsItsTimerHasTheLastWord) {
    TestSurfer dialog;
    const sim::Window w = dialog.DialogWindow();
    desktop::SetTimer(w, TIMER_SURF, 5000);
    int ticks = 0;
    sim::RunFor(60000, [&](sim::Window win, uintptr_t id) {
        desktop::KillTimer(win, id);
        if (++ticks < 3) desktop::SetTimer(win, id, 7000);
    });
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(sim::TimerPending(TIMER_SURF));
    const auto sets = sim::Only(sim::Events(), {sim::Kind::TimerSet});
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[2].atMs, 12000u);
}

TEST_F(SimDesktop, MainDialogAsItsTemplateMakesIt) {
    TestSurfer dialog;
    EXPECT_EQ(sim::Text(dialog.DialogWindow()), "Nimbrel Veruvo 1.0");
    EXPECT_EQ(dialog.Text(IDOK), TEXT_START);
    EXPECT_EQ(dialog.Text(IDC_SET_COORDS), "Set Coordinates of Address Bar");
    EXPECT_EQ(dialog.Text(IDC_TRACE), "Trace Address Bar");
    EXPECT_EQ(dialog.Text(IDC_HOURS), "0") << "filled as initialisation does";
    EXPECT_EQ(dialog.Text(IDC_WEB_LINK), MAKER_WEB_HOST);
    EXPECT_FALSE(dialog.Visible(IDC_STATUS));
    int controls = 0;
    for (int id : {IDOK, IDC_SET_COORDS, IDC_TLC_POS, IDC_BRC_POS, -1, IDC_TRACE, IDC_STOP_AFTER_LABEL, IDC_HOURS,
                   IDC_HOURS_LABEL, IDC_STATUS, IDC_EMAIL_LINK, IDC_WEB_LINK, IDC_TLC_LABEL, IDC_BRC_LABEL}) {
        const sim::Window control = dialog.Control(id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_EQ(desktop::ParentOf(control), dialog.DialogWindow());
        EXPECT_EQ(desktop::WindowThreadId(control), sim::kOurThread);
        ++controls;
    }
    EXPECT_EQ(controls, 14);
}

TEST_F(SimDesktop, WindowFromPointFindsTheFrontmostVisibleChild) {
    TestSurfer dialog;
    desktop::Rect r;
    ASSERT_TRUE(desktop::GetWindowRect(dialog.Control(IDC_HOURS), r));
    const Point inside{r.left + 2, r.top + 2};
    EXPECT_EQ(desktop::WindowFromPoint(inside), dialog.Control(IDC_HOURS));

    desktop::Show(dialog.Control(IDC_HOURS), false);
    desktop::Show(dialog.Control(IDC_STATUS), true);
    EXPECT_EQ(desktop::WindowFromPoint(inside), dialog.Control(IDC_STATUS));

    const sim::Window browser = sim::AddWindow("Browser", {0, 0, 1024, 768});
    EXPECT_EQ(desktop::WindowFromPoint(inside), browser) << "the newest window is in front";
    sim::SetForeground(dialog.DialogWindow());
    EXPECT_EQ(desktop::WindowFromPoint(inside), dialog.Control(IDC_STATUS));
    EXPECT_EQ(desktop::WindowFromPoint({5, 5}), browser);
    EXPECT_EQ(desktop::WindowFromPoint({-5, 5}), nullptr);
}

TEST_F(SimDesktop, TopLevelWalkThroughParentsAndOwners) {
    const sim::Window browser = sim::AddWindow("Browser", {0, 0, 800, 600});
    const sim::Window bar = sim::AddChild(browser, 7, "about:blank", {50, 40, 700, 60});
    const sim::Window popup = sim::AddWindow("Suggestions", {50, 50, 700, 200});
    sim::Win(popup).owner = browser;
    EXPECT_TRUE(desktop::IsChildWindow(bar));
    EXPECT_EQ(desktop::ParentOf(bar), browser);
    EXPECT_FALSE(desktop::IsChildWindow(popup));
    EXPECT_EQ(desktop::OwnerOf(popup), browser);
    EXPECT_EQ(desktop::OwnerOf(browser), nullptr);
    EXPECT_EQ(desktop::WindowFromPoint({60, 55}), popup) << "the popup lies in front of the bar";
}

TEST_F(SimDesktop, HoursFieldRefusesWhatIsNoNumber) {
    TestSurfer dialog;
    dialog.m_fHours = 2.0f;
    desktop::SetText(dialog.Control(IDC_HOURS), "abc");
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.m_fHours, 2.0f);
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, "Please enter a number.");
    EXPECT_EQ(sim::MessageBoxes()[0].caption, "Veruvo");
    EXPECT_EQ(sim::MessageBoxes()[0].flags, desktop::kMbOk | desktop::kMbIconExclamation);
    EXPECT_EQ(sim::Focused(), dialog.Control(IDC_HOURS));
    EXPECT_TRUE(sim::Win(dialog.Control(IDC_HOURS)).textSelected);
}

TEST_F(SimDesktop, HoursFieldKeepsAnOutOfRangeNumber) {
    TestSurfer dialog;
    desktop::SetText(dialog.Control(IDC_HOURS), "-1");
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.m_fHours, -1.0f);
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::MessageBoxes()[0].text.rfind("Please enter a number between 0 and 1e+", 0), 0u);

    desktop::SetText(dialog.Control(IDC_HOURS), " 1.5 ");
    EXPECT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.m_fHours, 1.5f);
    dialog.m_fHours = 1.9833333f;
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.Text(IDC_HOURS), "1.98333");
}

TEST_F(SimDesktop, MessageBoxAnswerAndReadingTime) {
    sim::AnswerMessageBoxes([](const sim::MessageBoxCall&) {
        sim::Advance(4000);
        return 2;
    });
    EXPECT_EQ(desktop::ShowMessageBox(nullptr, "text", "caption", 0), 2);
    EXPECT_EQ(sim::NowMs(), 4000u);
    EXPECT_EQ(sim::MessageBoxes()[0].atMs, 0u);
}

TEST_F(SimDesktop, LayoutsAndCodePages) {
    const desktop::Window german = sim::AddWindow("German", {0, 0, 10, 10}, 3000);
    sim::SetLayout(3000, sim::Layout::kGerman);
    const desktop::KeyboardLayout us = desktop::LayoutOfWindow(nullptr);  // ours
    const desktop::KeyboardLayout de = desktop::LayoutOfWindow(german);
    EXPECT_EQ(desktop::KeyForChar(u'a', us), 0x41);
    EXPECT_EQ(desktop::KeyForChar(u'A', us), 0x141);
    EXPECT_EQ(desktop::KeyForChar(u'!', us), 0x131);
    EXPECT_EQ(desktop::KeyForChar(u'~', us), 0x1C0);
    EXPECT_EQ(desktop::KeyForChar(u'\u00E9', us), -1);
    EXPECT_EQ(desktop::KeyForChar(u'@', de), 0x651);
    EXPECT_EQ(desktop::KeyForChar(u'^', de), 0xDC);

    EXPECT_EQ(desktop::CharOfKey('A', 0, true, us).c, u'A') << "Caps Lock";
    EXPECT_EQ(desktop::CharOfKey('1', 1, true, us).c, u'!') << "Caps Lock leaves digits alone";
    EXPECT_EQ(desktop::CharOfKey('Q', 6, true, de).c, u'@');
    EXPECT_TRUE(desktop::CharOfKey(0xDC, 0, false, de).dead);
    EXPECT_EQ(desktop::CharOfKey('Q', 2, false, de).c, 0) << "Ctrl alone makes no character here";
    EXPECT_EQ(sim::Compose(u'^', u'e'), u'\u00EA');
    EXPECT_EQ(sim::Compose(u'^', u'1'), 0);

    EXPECT_EQ(desktop::AnsiToUtf16("\x80\x9F\xE9"), u"\u20AC\u0178\u00E9");
    sim::SetCodePage(sim::CodePage::k932);
    EXPECT_EQ(desktop::AnsiToUtf16("\x93\xFA\x96\x7B" "a\xB1\x82"), u"\u65E5\u672Ca\uFF71\u30FB");
}

TEST_F(SimDesktop, EditFieldReplay) {
    for (int vk : {int{desktop::kVkEnd}, int{'X'}, int{desktop::kVkBack}, int{'Y'}, int{desktop::kVkReturn}}) {
        const bool extended = vk == desktop::kVkEnd;
        const desktop::KeyStroke tap[] = {{static_cast<uint8_t>(vk), 0, false, extended},
                                          {static_cast<uint8_t>(vk), 0, true, extended}};
        desktop::SendKeys(tap, 2);
    }
    const sim::FieldState field = sim::ReplayIntoField(sim::Events(), "ab");
    EXPECT_EQ(field.text, "aby");
    EXPECT_EQ(field.submitted, std::vector<std::string>{"aby"});
    EXPECT_EQ(sim::TypedText(), "xy") << "typed text keeps what Backspace erased";
}

}  // namespace
