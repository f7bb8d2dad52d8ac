// The main dialog's eight tooltips: registered as the dialog's tools, and shown in
// white on medium blue when the mouse rests on a control.
#include <windows.h>

#include <commctrl.h>

#include <iterator>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/ProgramTest.h"
#include "tests/e2e/RemoteTools.h"

namespace e2e {
namespace {

struct ExpectedTip {
    int controlId;
    const char* text;
};

// In the order of registration.
const ExpectedTip kTips[] = {
    {IDOK, "Start/Stop surfing the web."},
    {IDC_TRACE, "Trace the location of the Address Bar."},
    {IDC_SET_COORDS, "Set the location of the Address Bar."},
    {IDC_HOURS, "Enter the number of hours to surf.  Decimals are allowed."},
    {IDC_WEB_LINK, "Updates, info, new products, mailing lists, etc."},
    {IDC_EMAIL_LINK, "Email me."},
    {IDC_TLC_LABEL, "Top left corner coordinate of Address Bar."},
    {IDC_BRC_LABEL, "Bottom right corner coordinate of Address Bar."},
};

constexpr COLORREF kTipText = RGB(255, 255, 255);
constexpr COLORREF kTipBackground = RGB(64, 112, 176);

class ToolTips : public ProgramTest {
protected:
    HWND ToolTip() const {
        HWND tip = program->ToolTipOf(dialog);
        EXPECT_NE(tip, nullptr) << "no tooltip window owned by the main dialog; " << program->Describe();
        return tip;
    }
};

TEST_F(ToolTips, EightToolsWithTheirTexts) {
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());
    HWND tip = ToolTip();
    ASSERT_NE(tip, nullptr);

    const std::vector<Tool> tools = ToolsOf(tip, program->Handle());
    ASSERT_EQ(tools.size(), std::size(kTips));
    for (size_t i = 0; i < tools.size(); ++i) {
        SCOPED_TRACE("tool #" + std::to_string(i + 1));
        EXPECT_EQ(tools[i].window, dialog);
        EXPECT_EQ(tools[i].id, reinterpret_cast<UINT_PTR>(Control(kTips[i].controlId)))
            << "expected the window of control " << kTips[i].controlId;
        EXPECT_TRUE(tools[i].flags & TTF_IDISHWND);
        EXPECT_FALSE(tools[i].flags & TTF_SUBCLASS) << "the tools are fed by the dialog's relay, not by subclassing";
        EXPECT_EQ(tools[i].text, kTips[i].text);
    }
}

TEST_F(ToolTips, AreWhiteOnMediumBlue) {
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());
    HWND tip = ToolTip();
    ASSERT_NE(tip, nullptr);

    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPTEXTCOLOR, 0, 0), static_cast<LRESULT>(kTipText));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0), static_cast<LRESULT>(kTipBackground));
    EXPECT_FALSE(HasStyle(tip, TTS_ALWAYSTIP)) << "tips show only while the dialog is active";
}

// The tips as the user meets them: the mouse rests on a control, and the tip's
// window shows the control's text. This also proves the dialog's relay of mouse
// messages, the tooltip's only way to learn of the mouse. The visible tip's text
// is read with WM_GETTEXT, which a tooltip answers with its current text.
TEST_F(ToolTips, ShowWhenTheMouseRestsOnEachControl) {
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());
    HWND tip = ToolTip();
    ASSERT_NE(tip, nullptr);
    ASSERT_NO_FATAL_FAILURE(Activate());

    for (const ExpectedTip& expected : kTips) {
        SCOPED_TRACE(std::string("tip \"") + expected.text + "\"");
        MoveMouseTo(CentreOf(Control(expected.controlId)));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(tip) && TextOf(tip) == expected.text; }, Millis(15000)))
            << "tip " << (IsWindowVisible(tip) ? "visible" : "hidden") << " with \"" << TextOf(tip) << "\"";
    }
}

// What the display shows: the background is the tip's colour, and the text is
// white. A tooltip drawn with visual styles would ignore both colours.
TEST_F(ToolTips, AreDrawnInTheirColours) {
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());
    HWND tip = ToolTip();
    ASSERT_NE(tip, nullptr);
    ASSERT_NO_FATAL_FAILURE(Activate());

    MoveMouseTo(CentreOf(Control(IDOK)));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(tip); }, Millis(15000))) << "no tip shown";
    // Inside the frame, next to the bottom-right corner, where no text is drawn;
    // waited for, since a tip may fade in.
    const RECT area = RectOf(tip);
    const POINT corner{area.right - 3, area.bottom - 3};
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(corner) == kTipBackground; }, Millis(5000)))
        << "background pixel is 0x" << std::hex << ScreenPixel(corner);
    // The text is drawn after the background; under load the two can be seen apart.
    EXPECT_TRUE(WaitUntil([&] { return CountScreenPixels(area, kTipText) > 0; }, Millis(5000)))
        << "no white text drawn in the tip";
}

}  // namespace
}  // namespace e2e
