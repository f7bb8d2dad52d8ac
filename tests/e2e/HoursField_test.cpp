// The hours field's validation, reached as the user reaches it: Enter in the field
// runs the Start/Stop command, whose first step reads the field.
//
// A refused text does not stop the command: the session starts all the same, and
// its trace keeps the program's thread busy for seconds and ends with the focus on
// Start/Stop. So the focus on the field is caught while the trace runs (the focus
// can be read without the program's answer), and the selection once it answers
// again; the trace leaves the selection alone.
#include <ostream>
#include <string>

#include "res/resource.h"
#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

struct Rejection {
    const char* typed;
    const char* message;
};

// Names the case in ctest's list by what was typed.
void PrintTo(const Rejection& rejection, std::ostream* out) {
    *out << '"' << rejection.typed << '"';
}

// The printed bounds are "%.*g" at precision 6 as Windows' C runtime writes it.
constexpr const char* kNotANumber = "Please enter a number.";
constexpr const char* kOutOfRange = "Please enter a number between 0 and 1e+010.";

class HoursField : public ProgramTest, public ::testing::WithParamInterface<Rejection> {};

TEST_P(HoursField, RejectsWithAMessageAndReturnsToTheField) {
    const std::string typed = GetParam().typed;
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());
    HWND hours = Control(IDC_HOURS);
    ASSERT_NO_FATAL_FAILURE(EnterHours(typed));

    HWND box = program->WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message box after Enter; " << program->Describe();
    const BoxContent content = ContentOf(box);
    EXPECT_EQ(content.caption, kBoxCaption);
    EXPECT_EQ(content.text, GetParam().message);
    EXPECT_EQ(TextOf(hours), typed) << "the field keeps what was typed";

    CloseMessageBox(box);
    EXPECT_TRUE(WaitUntil([&] { return FocusIn(dialog) == hours; }, Millis(10000)))
        << "focus is on id " << IdOf(FocusIn(dialog)) << ", not on the hours field";
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "the message box did not close";
    ASSERT_TRUE(WaitUntil([&] { return Answers(dialog); })) << "the program stays busy";
    const Selection selection = SelectionOf(hours);
    EXPECT_EQ(selection.start, 0);
    EXPECT_EQ(selection.end, static_cast<int>(typed.size())) << "the whole text is selected";
    EXPECT_EQ(TextOf(hours), typed);
    EXPECT_EQ(program->MessageBox(), nullptr) << "one message per rejection; " << program->Describe();
}

INSTANTIATE_TEST_SUITE_P(Texts, HoursField,
                         ::testing::Values(Rejection{"abc", kNotANumber}, Rejection{"-1", kOutOfRange},
                                           Rejection{"1e11", kOutOfRange}),
                         [](const ::testing::TestParamInfo<Rejection>& info) {
                             const std::string typed = info.param.typed;
                             return typed == "abc" ? "NotANumber" : typed == "-1" ? "Negative" : "TooLarge";
                         });

}  // namespace
}  // namespace e2e
