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
    // Starts the program with `bar` stored as the address bar (options.ini),
    // its main dialog in front and the cursor at rest.
    //
    // The cursor is parked away from the dialog first, for two effects of the
    // test bed (Wine on X). The desktop process comes and goes with the
    // programs, and starting it puts the cursor in the middle of the screen, so
    // the desktop must be up before the cursor is placed. And a window mapped
    // under the pointer gets an X crossing event that carries the pointer's
    // position; until the program has moved the cursor itself, Wine does not
    // recognise such an event as stale, and if the program reads it after the
    // test has moved the cursor, the cursor goes back to where it was when the
    // window appeared.
    void StartWith(const RECT& bar);

    HWND Control(int id) const { return ControlOf(dialog, id); }
    std::string Text(int id) const { return TextOf(Control(id)); }
    // Makes the main dialog the foreground window, failing the test if it cannot.
    void Activate() const;
    // Enter typed into the hours field, the way a user runs the Start/Stop command.
    void EnterHours(const std::string& text) const;
    // Each fails the test when the harness's function of the same name does.
    static void PutCursor(POINT at);
    void FocusOn(int id) const;
    bool Becomes(int id, const std::string& text) const { return e2e::Becomes(Control(id), text); }
    // One calibration as the user makes it: the button, then the space bar on
    // each corner once its read-out shows that the program sees the cursor
    // there. With `toldNotSaved`, the first corner's save fails: the box that
    // says so must name options.ini, and is closed.
    void Calibrate(const RECT& bar, bool toldNotSaved = false) const;

    // The clip rectangle that the program will find: the whole screen on this desktop.
    static RECT ClipRectangle();

    TempFolder folder;
    std::unique_ptr<Program> program;
    HWND dialog = nullptr;
};

}  // namespace e2e
