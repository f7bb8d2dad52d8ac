// The splash picture: shown first, alone, and gone after a while or at a click.
#include "res/resource.h"
#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

// The splash's own time. Its timer starts just before the picture appears, so
// an observer sees the picture for a little less.
constexpr long long kSplashTimeMs = 1450;
// Bounds for "about its time", generous both ways: no wall-clock timing is tight
// on a loaded machine under Wine.
constexpr long long kShortestStayMs = kSplashTimeMs / 2;
constexpr long long kLongestStayMs = 10000;
// A click is acted on at once: well before the splash's own time would end it.
constexpr long long kClickReactionMs = 1000;

using Splash = ProgramTest;

bool Gone(HWND splash) {
    return !IsWindow(splash) || !IsWindowVisible(splash);
}

TEST_F(Splash, ShowsThePictureAloneWhileTheMainDialogIsHidden) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND splash = program->WaitForSplash();
    ASSERT_NE(splash, nullptr) << "no splash seen; " << program->Describe();

    HWND main = program->MainDialog();
    ASSERT_NE(main, nullptr) << "the main dialog is created before its initialisation shows the splash";
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(HasStyle(splash, WS_POPUP | WS_BORDER));
    EXPECT_FALSE(HasStyle(splash, WS_CAPTION));
    HWND picture = ControlOf(splash, IDC_SPLASH_BITMAP);
    EXPECT_EQ(GetWindowLongPtrA(picture, GWL_STYLE) & SS_TYPEMASK, SS_BITMAP);
    EXPECT_TRUE(HasStyle(picture, SS_NOTIFY));
    // Centred on the screen (DS_CENTER), give or take rounding.
    const POINT centre = CentreOf(splash);
    EXPECT_NEAR(centre.x, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
    EXPECT_NEAR(centre.y, GetSystemMetrics(SM_CYSCREEN) / 2, 2);

    ASSERT_TRUE(WaitUntil([&] { return Gone(splash); }));
    EXPECT_NE(program->WaitForMainDialog(), nullptr) << program->Describe();
}

TEST_F(Splash, ClosesByItselfAfterItsTime) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND splash = program->WaitForSplash();
    ASSERT_NE(splash, nullptr) << "no splash seen; " << program->Describe();
    const auto seen = Clock::now();

    ASSERT_TRUE(WaitUntil([&] { return Gone(splash); })) << "the splash stayed for " << kPatience.count() << " ms";
    const long long stayed = ElapsedMs(seen);
    EXPECT_GE(stayed, kShortestStayMs);
    EXPECT_LE(stayed, kLongestStayMs);
    EXPECT_NE(program->WaitForMainDialog(), nullptr) << program->Describe();
}

TEST_F(Splash, ClickOnThePictureClosesIt) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND splash = program->WaitForSplash();
    ASSERT_NE(splash, nullptr) << "no splash seen; " << program->Describe();

    ClickAt(CentreOf(splash));
    const auto clicked = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return Gone(splash); }));
    EXPECT_LT(ElapsedMs(clicked), kClickReactionMs) << "the splash seems to have waited for its timer";
    EXPECT_NE(program->WaitForMainDialog(), nullptr) << program->Describe();
}

}  // namespace
}  // namespace e2e
