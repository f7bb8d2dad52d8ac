// The main dialog as the user first sees it, and the keys that move around and close it.
#include <iterator>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;  // null: not compared (the corner read-outs have tests of their own)
    bool visible;
};

// The template's fourteen controls, in its order, which is also the z-order.
const ExpectedControl kControls[] = {
    {IDOK, "Button", kStartCaption, true},
    {IDC_SET_COORDS, "Button", kSetCoordinates, true},
    {IDC_TLC_POS, "Static", nullptr, true},
    {IDC_BRC_POS, "Static", nullptr, true},
    {-1, "Static", "Address Bar Location", true},
    {IDC_TRACE, "Button", kTraceIdle, true},
    {IDC_STOP_AFTER_LABEL, "Static", "Stop After", true},
    {IDC_HOURS, "Edit", "0", true},
    {IDC_HOURS_LABEL, "Static", "Hours", true},
    {IDC_STATUS, "Static", "", false},
    {IDC_EMAIL_LINK, "Static", "by Valmoran", true},
    {IDC_WEB_LINK, "Static", MAKER_WEB_HOST, true},
    {IDC_TLC_LABEL, "Static", "TLC", true},
    {IDC_BRC_LABEL, "Static", "BRC", true},
};

using MainDialog = ProgramTest;

TEST_F(MainDialog, ShowsItsCaptionAndFrame) {
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());

    EXPECT_EQ(StoredTextOf(dialog), kMainCaption);
    EXPECT_TRUE(HasStyle(dialog, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_FALSE(HasStyle(dialog, WS_MAXIMIZEBOX));
    EXPECT_FALSE(HasStyle(dialog, WS_THICKFRAME));
    EXPECT_TRUE(HasExStyle(dialog, WS_EX_APPWINDOW));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }))
        << "the main dialog is not the foreground window";
    // The splash is gone for good: the dialog is the program's only visible dialog.
    EXPECT_EQ(program->Splash(), nullptr);
    EXPECT_EQ(program->MessageBox(), nullptr) << program->Describe();
}

TEST_F(MainDialog, ShowsItsControlsInTemplateOrder) {
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());

    const std::vector<HWND> children = ChildrenOf(dialog);
    ASSERT_EQ(children.size(), std::size(kControls));
    for (size_t i = 0; i < children.size(); ++i) {
        const ExpectedControl& expected = kControls[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + ", id " + std::to_string(expected.id));
        EXPECT_EQ(IdOf(children[i]), expected.id);
        EXPECT_EQ(ClassOf(children[i]), expected.className);
        if (expected.text) {
            EXPECT_EQ(TextOf(children[i]), expected.text);
        }
        EXPECT_EQ(IsWindowVisible(children[i]) != FALSE, expected.visible);
    }
}

TEST_F(MainDialog, StartsWithTheFocusOnStartStop) {
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());

    EXPECT_TRUE(WaitUntil([&] { return FocusIn(dialog) == Control(IDOK); }))
        << "focus is on id " << IdOf(FocusIn(dialog));
    EXPECT_EQ(Text(IDC_HOURS), "0");
    EXPECT_FALSE(IsWindowVisible(Control(IDC_STATUS)));
}

TEST_F(MainDialog, TabVisitsTheFourTabStopsInOrder) {
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());
    ASSERT_TRUE(WaitUntil([&] { return FocusIn(dialog) == Control(IDOK); }));
    ASSERT_NO_FATAL_FAILURE(Activate());

    for (int id : {IDC_SET_COORDS, IDC_TRACE, IDC_HOURS, IDOK}) {
        PressKey(VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return FocusIn(dialog) == Control(id); }, Millis(10000)))
            << "expected id " << id << " after Tab, focus is on id " << IdOf(FocusIn(dialog));
    }
    PressChord({VK_SHIFT, VK_TAB});
    EXPECT_TRUE(WaitUntil([&] { return FocusIn(dialog) == Control(IDC_HOURS); }, Millis(10000)))
        << "Shift+Tab from Start/Stop, focus is on id " << IdOf(FocusIn(dialog));
}

TEST_F(MainDialog, EscEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());
    ASSERT_NO_FATAL_FAILURE(Activate());

    PressKey(VK_ESCAPE);
    EXPECT_TRUE(program->WaitForExit()) << program->Describe();
}

TEST_F(MainDialog, CloseBoxEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());

    // What the close box and the system menu's Close send.
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(program->WaitForExit()) << program->Describe();
}

}  // namespace
}  // namespace e2e
