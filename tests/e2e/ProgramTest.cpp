#include "tests/e2e/ProgramTest.h"

#include "res/resource.h"

namespace e2e {

void ProgramTest::Start() {
    program = std::make_unique<Program>(folder.Path());
    ASSERT_TRUE(program->Started()) << program->StartError();
}

void ProgramTest::StartAndWaitForMainDialog() {
    ASSERT_NO_FATAL_FAILURE(Start());
    dialog = program->WaitForMainDialog();
    ASSERT_NE(dialog, nullptr) << "the main dialog did not become visible; " << program->Describe();
}

void ProgramTest::StartWith(const RECT& bar) {
    GetDesktopWindow();
    ASSERT_NO_FATAL_FAILURE(PutCursor(kRestingPlace));
    ASSERT_TRUE(folder.Write("options.ini", OptionsFileOf(bar)));
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());
    ASSERT_NO_FATAL_FAILURE(Activate());
}

void ProgramTest::Activate() const {
    ASSERT_TRUE(BringToFront(dialog)) << "the main dialog cannot be brought to the front";
}

void ProgramTest::EnterHours(const std::string& text) const {
    ASSERT_NO_FATAL_FAILURE(Activate());
    ASSERT_TRUE(TypeInto(dialog, IDC_HOURS, text))
        << "typed \"" << text << "\", the hours field holds \"" << Text(IDC_HOURS) << "\""
        << (FocusIn(dialog) == Control(IDC_HOURS) ? "" : " and has no focus");
    PressKey(VK_RETURN);
}

void ProgramTest::PutCursor(POINT at) {
    ASSERT_TRUE(e2e::PutCursor(at)) << "the cursor did not go to " << ToString(at);
}

void ProgramTest::FocusOn(int id) const {
    ASSERT_TRUE(e2e::FocusOn(dialog, id)) << "control " << id << " got no focus";
}

void ProgramTest::Calibrate(const RECT& bar, bool toldNotSaved) const {
    const POINT topLeft{bar.left, bar.top};
    const POINT bottomRight{bar.right, bar.bottom};
    ASSERT_NO_FATAL_FAILURE(FocusOn(IDC_SET_COORDS));
    PressKey(VK_SPACE);
    ASSERT_TRUE(Becomes(IDC_SET_COORDS, kRecordTopLeft)) << Text(IDC_SET_COORDS);
    ASSERT_NO_FATAL_FAILURE(PutCursor(topLeft));
    ASSERT_TRUE(Becomes(IDC_TLC_POS, Corner(topLeft))) << Text(IDC_TLC_POS);
    PressKey(VK_SPACE);
    if (toldNotSaved) {
        const HWND box = program->WaitForMessageBox();
        ASSERT_NE(nullptr, box) << "a corner that could not be saved was not told; " << program->Describe();
        const BoxContent told = ContentOf(box);
        EXPECT_NE(std::string::npos, told.text.find(folder.PathOf("options.ini"))) << told.text;
        CloseMessageBox(box);
        ASSERT_TRUE(WaitUntil([&] { return !program->MessageBox(); }));
    }
    ASSERT_TRUE(Becomes(IDC_SET_COORDS, kRecordBottomRight)) << Text(IDC_SET_COORDS);
    ASSERT_NO_FATAL_FAILURE(PutCursor(bottomRight));
    ASSERT_TRUE(Becomes(IDC_BRC_POS, Corner(bottomRight))) << Text(IDC_BRC_POS);
    PressKey(VK_SPACE);
    ASSERT_TRUE(Becomes(IDC_SET_COORDS, kSetCoordinates)) << Text(IDC_SET_COORDS);
    ASSERT_NO_FATAL_FAILURE(PutCursor(kRestingPlace));
}

RECT ProgramTest::ClipRectangle() {
    RECT clip{};
    GetClipCursor(&clip);
    return clip;
}

}  // namespace e2e
