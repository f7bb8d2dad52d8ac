// Start-up and options.ini: what the program reads, writes and shows before the
// user does anything.
#include <string>

#include "res/resource.h"
#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

bool IsTestBedScreen(const RECT& r) {
    return r.left == 0 && r.top == 0 && r.right == 1024 && r.bottom == 768;
}

using StartUp = ProgramTest;

TEST_F(StartUp, FirstStartShowsAndSavesTheClipRectangle) {
    ASSERT_TRUE(folder.Names().empty());
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());
    const RECT clip = ClipRectangle();

    EXPECT_EQ(Text(IDC_TLC_POS), Corner({clip.left, clip.top}));
    EXPECT_EQ(Text(IDC_BRC_POS), Corner({clip.right, clip.bottom}));
    ASSERT_TRUE(folder.Has("options.ini")) << "folder holds only what the program wrote";
    EXPECT_EQ(folder.Read("options.ini"), OptionsFileOf(clip));
    if (IsTestBedScreen(clip)) {
        // The test bed's display: the worked example, exactly.
        EXPECT_EQ(Text(IDC_TLC_POS), "( 0, 0 )");
        EXPECT_EQ(Text(IDC_BRC_POS), "( 1024, 768 )");
        EXPECT_EQ(folder.Read("options.ini").size(), 75u);
    }
    // Saving goes through a temporary file that replaces the old one; none may stay behind.
    for (const std::string& name : folder.Names())
        EXPECT_TRUE(name == "options.ini" || name == "WebSites.txt") << "unexpected file " << name;
}

TEST_F(StartUp, ExistingOptionsAreShownAndLeftAlone) {
    const std::string calibrated =
        "bottom_boundary=75\r\nleft_boundary=112\r\nright_boundary=640\r\ntop_boundary=54\r\n";
    ASSERT_EQ(calibrated.size(), 76u);
    ASSERT_TRUE(folder.Write("options.ini", calibrated));
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());

    EXPECT_EQ(Text(IDC_TLC_POS), "( 112, 54 )");
    EXPECT_EQ(Text(IDC_BRC_POS), "( 640, 75 )");
    EXPECT_EQ(folder.Read("options.ini"), calibrated);
}

TEST_F(StartUp, ReadOnlyFolderWorksWithTheClipRectangleAndNoMessage) {
    ASSERT_TRUE(folder.MakeReadOnly())
        << "could not make " << folder.Path() << " read-only"
        << (RunningUnderWine() ? " (under Wine only the host's file permissions bind; a root user needs "
                                 "CAP_DAC_OVERRIDE dropped, as scripts/test.sh does)"
                               : "");
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());
    const RECT clip = ClipRectangle();

    EXPECT_EQ(Text(IDC_TLC_POS), Corner({clip.left, clip.top}));
    EXPECT_EQ(Text(IDC_BRC_POS), Corner({clip.right, clip.bottom}));
    // A failed save is silent: a message at construction would have come before the
    // main dialog, and would still be open.
    EXPECT_EQ(program->MessageBox(), nullptr) << program->Describe();
    EXPECT_TRUE(folder.Names().empty());
    EXPECT_FALSE(program->HasExited());
}

}  // namespace
}  // namespace e2e
