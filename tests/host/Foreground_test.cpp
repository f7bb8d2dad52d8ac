// Bringing a window to the front: the input attachment around it, and the
// browser's placement kept as it was.
#include "engine/Input.h"
#include "tests/sim/SimTest.h"
#include "tests/sim/TestSurfer.h"

namespace {

class Foreground : public SimTest {
protected:
    Foreground() {
        browser_ = sim::AddWindow("Browser", {10, 10, 810, 610});
        other_ = sim::AddWindow("Editor", {100, 100, 400, 400}, 3000);
        sim::SetForeground(other_);
    }

    std::vector<sim::Event> Attaches() const { return sim::Only(sim::Events(), {sim::Kind::Attach}); }

    sim::Window browser_ = nullptr;
    sim::Window other_ = nullptr;
};

TEST_F(Foreground, BorrowsTheForegroundThreadsInputAroundTheSwitch) {
    sim::SetForegroundLock(true);
    ForceForeground(browser_);
    EXPECT_EQ(sim::Foreground(), browser_);
    const auto steps = sim::Only(sim::Events(), {sim::Kind::Attach, sim::Kind::Foreground});
    ASSERT_EQ(steps.size(), 3u) << sim::Describe(steps);
    EXPECT_TRUE(steps[0].on);
    EXPECT_EQ(steps[0].fromThread, sim::kOurThread);
    EXPECT_EQ(steps[0].toThread, 3000u);
    EXPECT_EQ(steps[1].kind, sim::Kind::Foreground);
    EXPECT_FALSE(steps[2].on);
    EXPECT_EQ(steps[2].toThread, 3000u);
    EXPECT_TRUE(sim::AttachedThreads().empty());
}

TEST_F(Foreground, NoAttachmentToOurselvesOrToNobody) {
    TestSurfer dialog;
    sim::SetForeground(dialog.DialogWindow());
    ForceForeground(browser_);
    EXPECT_EQ(sim::Foreground(), browser_);

    sim::SetForeground(nullptr);
    ForceForeground(other_);
    EXPECT_EQ(sim::Foreground(), other_);
    EXPECT_TRUE(Attaches().empty());
}

TEST_F(Foreground, PlacementIsPutBackAfterTheSwitch) {
    // A platform that restores the window it activates.
    sim::OnForeground([](sim::Window w) { sim::Win(w).placement.showCmd = sim::kShowNormal; });
    for (uint32_t show : {sim::kShowMaximized, sim::kShowMinimized, sim::kShowNormal}) {
        sim::Placement placement = sim::Win(browser_).placement;
        placement.showCmd = show;
        placement.normal = {40, 30, 640, 480};
        sim::Win(browser_).placement = placement;
        sim::SetForeground(other_);
        const size_t mark = sim::Mark();

        BringToFront(browser_);
        EXPECT_EQ(sim::Win(browser_).placement.showCmd, show);
        EXPECT_EQ(sim::Win(browser_).placement.normal, placement.normal);
        const auto steps = sim::Only(sim::EventsSince(mark), {sim::Kind::Foreground, sim::Kind::PlacementSet});
        ASSERT_EQ(steps.size(), 2u);
        EXPECT_EQ(steps[0].kind, sim::Kind::Foreground) << "written back after the switch";
    }
}

TEST_F(Foreground, WindowThatIsGoneIsPassedOverSilently) {
    sim::DestroyWindow(browser_);
    BringToFront(browser_);
    EXPECT_EQ(sim::Foreground(), other_);
    EXPECT_TRUE(sim::Only(sim::Events(), {sim::Kind::PlacementSet}).empty());
    EXPECT_TRUE(sim::AttachedThreads().empty());
}

}  // namespace
