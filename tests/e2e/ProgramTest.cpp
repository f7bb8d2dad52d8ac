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

RECT ProgramTest::ClipRectangle() {
    RECT clip{};
    GetClipCursor(&clip);
    return clip;
}

}  // namespace e2e
