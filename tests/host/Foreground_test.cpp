// Bringing a window to the front: the input attachment around it, and the
// browser left where the user put it.
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

// A snapped window lies elsewhere than its placement says; writing that back
// would move it. Only a minimised window is touched: restored, after the switch.
TEST_F(Foreground, OnlyAMinimisedWindowIsRestoredAndNoneMoved) {
    const desktop::Rect snapped{0, 0, 512, 768};
    for (uint32_t show : {sim::kShowMaximized, sim::kShowNormal, sim::kShowMinimized}) {
        SCOPED_TRACE(show);
        sim::Snap(browser_, snapped);
        sim::Win(browser_).placement = sim::Placement{show, {40, 30, 640, 480}};
        sim::SetForeground(other_);
        const size_t mark = sim::Mark();

        BringToFront(browser_);
        const bool minimised = show == sim::kShowMinimized;
        EXPECT_EQ(sim::Foreground(), browser_);
        EXPECT_EQ(sim::Win(browser_).rect, minimised ? sim::Win(browser_).placement.normal : snapped);
        const auto steps = sim::Only(sim::EventsSince(mark), {sim::Kind::Foreground, sim::Kind::Restore});
        ASSERT_EQ(steps.size(), minimised ? 2u : 1u) << sim::Describe(steps);
        EXPECT_EQ(steps[0].kind, sim::Kind::Foreground);
    }
}

// A window whose thread has stopped taking its messages (a hung browser, or
// whatever else is in front) is never waited for: its input is not borrowed,
// and a restore is posted to it.
TEST_F(Foreground, AHungThreadIsNeverWaitedFor) {
    TestSurfer dialog;
    const sim::Window ours = dialog.DialogWindow();
    struct Case {
        const char* what;
        sim::Window inFront;
        uint32_t hung;
        sim::Window brought;
    };
    const Case cases[] = {
        {"the hung browser in front", browser_, sim::kOtherThread, browser_},
        {"another hung program in front", other_, 3000, browser_},
        {"our dialog in front of the hung browser", ours, sim::kOtherThread, browser_},
        {"the hung browser in front at a session's end", browser_, sim::kOtherThread, ours},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::ClearEvents();
        sim::SetForeground(c.inFront);
        sim::HangThread(c.hung);

        if (c.brought == ours) {
            dialog.ActivateSelf();
        } else {
            BringToFront(c.brought);
        }
        EXPECT_TRUE(sim::Only(sim::Events(), {sim::Kind::Hang}).empty()) << sim::Describe(sim::Events());
        for (const sim::Event& e : Attaches()) EXPECT_NE(c.hung, e.toThread) << sim::Describe(e);
        sim::HangThread(c.hung, 0);  // answers again
    }
}

TEST_F(Foreground, WindowThatIsGoneIsPassedOverSilently) {
    sim::DestroyWindow(browser_);
    BringToFront(browser_);
    EXPECT_EQ(sim::Foreground(), other_);
    EXPECT_TRUE(sim::Only(sim::Events(), {sim::Kind::Restore}).empty());
    EXPECT_TRUE(sim::AttachedThreads().empty());
}

}  // namespace
