// The fixture of the end-to-end tests: a fresh working folder for each test and
// at most one run of the program in it, ended when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/e2e/Harness.h"

namespace e2e {

class ProgramTest : public ::testing::Test {
protected:
    // Starts the program in the working folder; fails the test if it cannot.
    void Start();
    // Starts the program and waits through the splash until the main dialog is
    // visible; `dialog` holds it afterwards (null on failure, with the test failed).
    void StartAndWaitForMainDialog();

    HWND Control(int id) const { return ControlOf(dialog, id); }
    std::string Text(int id) const { return TextOf(Control(id)); }
    // Makes the main dialog the foreground window, failing the test if it cannot.
    void Activate() const;
    // Enter typed into the hours field, the way a user runs the Start/Stop command.
    void EnterHours(const std::string& text) const;

    // The clip rectangle that the program will find: the whole screen on this desktop.
    static RECT ClipRectangle();

    TempFolder folder;
    std::unique_ptr<Program> program;
    HWND dialog = nullptr;
};

}  // namespace e2e
