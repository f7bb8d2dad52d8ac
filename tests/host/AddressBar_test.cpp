#include "store/AddressBar.h"

#include "TempFolder.h"
#include "store/Boundaries.h"
#include "tests/sim/SimDesktop.h"

namespace {

class AddressBar : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        sim::Reset();
    }
    CAddressBar bar_;
};

TEST_F(AddressBar, FirstStartTakesTheClipRectangleAndWritesIt) {
    bar_.LoadBoundaries();
    EXPECT_EQ(bar_.Rect(), (desktop::Rect{0, 0, 1024, 768}));
    EXPECT_EQ(ReadFile(kBoundariesFile),
              "bottom_boundary=768\r\nleft_boundary=0\r\nright_boundary=1024\r\ntop_boundary=0\r\n");
}

TEST_F(AddressBar, ConfinedCursorGivesTheConfiningRectangle) {
    sim::SetVirtualScreen(desktop::Rect{-1280, -200, 1920, 1080});
    sim::SetCursorClip(desktop::Rect{-1000, -100, 300, 200});
    bar_.LoadBoundaries();
    EXPECT_EQ(bar_.Rect(), (desktop::Rect{-1000, -100, 300, 200}));
    EXPECT_EQ(ReadFile(kBoundariesFile), FormatBoundaries(desktop::Rect{-1000, -100, 300, 200}));
}

TEST_F(AddressBar, ExistingFileIsLoadedAndLeftAsItIs) {
    const std::string lf = "bottom_boundary=75\nleft_boundary=112\nright_boundary=640\ntop_boundary=54\n";
    WriteFile(kBoundariesFile, lf);
    bar_.LoadBoundaries();
    EXPECT_EQ(bar_.Rect(), (desktop::Rect{112, 54, 640, 75}));
    EXPECT_EQ(ReadFile(kBoundariesFile), lf);
}

TEST_F(AddressBar, LoadAfterTheFileVanishedRecreatesItFromTheClipRectangle) {
    bar_.Record(desktop::Rect{112, 54, 640, 75});
    EXPECT_EQ(ReadFile(kBoundariesFile), FormatBoundaries(desktop::Rect{112, 54, 640, 75}));

    std::filesystem::remove(kBoundariesFile);
    bar_.LoadBoundaries();
    EXPECT_EQ(bar_.Rect(), (desktop::Rect{0, 0, 1024, 768}));
    EXPECT_EQ(ReadFile(kBoundariesFile), FormatBoundaries(desktop::Rect{0, 0, 1024, 768}));
}

}  // namespace
