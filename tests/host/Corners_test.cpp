// The main dialog's corner read-outs and bringing the dialog itself forward.
#include "res/resource.h"
#include "tests/host/TempFolder.h"
#include "tests/sim/SimTest.h"
#include "tests/sim/TestSurfer.h"

namespace {

class MainDialog : public SimTest {
protected:
    TestSurfer dialog_;
};

using Corners = TempFolderTest;

TEST_F(Corners, ReadOutTheRectangle) {
    sim::Reset();
    TestSurfer dialog_;
    dialog_.m_rcAddressBar.Record({112, 54, 640, 75});
    dialog_.ShowCorners();
    EXPECT_EQ(dialog_.Text(IDC_TLC_POS), "( 112, 54 )");
    EXPECT_EQ(dialog_.Text(IDC_BRC_POS), "( 640, 75 )");

    dialog_.m_rcAddressBar.Record({-1920, -4, -1, 0});
    dialog_.ShowCorners();
    EXPECT_EQ(dialog_.Text(IDC_TLC_POS), "( -1920, -4 )");
    EXPECT_EQ(dialog_.Text(IDC_BRC_POS), "( -1, 0 )");
}

TEST_F(MainDialog, ActivatesItselfPastTheForegroundLock) {
    const sim::Window browser = sim::AddWindow("Browser", {0, 0, 800, 600});
    sim::SetForeground(browser);
    sim::SetForegroundLock(true);
    dialog_.ActivateSelf();
    EXPECT_EQ(sim::Foreground(), dialog_.DialogWindow());
    EXPECT_EQ(sim::Only(sim::Events(), {sim::Kind::Attach}).size(), 2u);
    EXPECT_TRUE(sim::AttachedThreads().empty());
    EXPECT_TRUE(sim::Only(sim::Events(), {sim::Kind::Restore}).empty()) << "no window is restored";
}

}  // namespace
