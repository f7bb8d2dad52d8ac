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

void ProgramTest::Activate() const {
    ASSERT_TRUE(BringToFront(dialog)) << "the main dialog cannot be brought to the front";
}

void ProgramTest::EnterHours(const std::string& text) const {
    ASSERT_NO_FATAL_FAILURE(Activate());
    HWND hours = Control(IDC_HOURS);
    // As Tab would: the dialog manager moves the focus there and selects the whole text.
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hours), TRUE);
    ASSERT_TRUE(WaitUntil([&] { return FocusIn(dialog) == hours; })) << "the hours field did not get the focus";
    TypeText(text);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(hours) == text; }))
        << "typed \"" << text << "\", the field holds \"" << TextOf(hours) << "\"";
    PressKey(VK_RETURN);
}

RECT ProgramTest::ClipRectangle() {
    RECT clip{};
    GetClipCursor(&clip);
    return clip;
}

}  // namespace e2e
