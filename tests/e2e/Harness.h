// Drives the real program from another process, as its user would, and looks at
// it through plain Win32 calls. Everything here works alike on Windows and under
// Wine (UI Automation, for one, would not: Wine lacks most of it).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/Captions.h"
#include "tests/e2e/TempFolder.h"
#include "tests/e2e/UserInput.h"
#include "tests/e2e/Wait.h"
#include "tests/e2e/WindowQuery.h"

namespace e2e {

// A path that the build gave as a host path ("/...") lies on Wine's drive Z:,
// which maps the host's root; any other path is taken as it is.
std::string WindowsPath(std::string path);

// The executable under test: the environment variable VERUVO_EXE when set,
// else the one that this test program was built with.
std::string ProgramPath();
// The text probe (TextProbe.h) built for the executable under test: the
// environment variable VERUVO_TEXT_PROBE when set (a 32-bit program needs the
// 32-bit build's), else the one beside this test program.
std::wstring TextProbePath();

// options.ini as the program writes it for the address bar `bar`.
std::string OptionsFileOf(const RECT& bar);
// A corner's read-out as the main dialog shows it: "( 112, 54 )".
std::string Corner(POINT p);

// One run of the program, started in a working folder of the test's choosing
// (the program keeps its files in its current directory). The process is ended
// by its handle when the object goes, if it still runs.
class Program {
public:
    explicit Program(const std::string& workingFolder, const std::string& exe = ProgramPath());
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_process.hProcess != nullptr; }
    // Why the start failed, for the failure message.
    const std::string& StartError() const { return m_startError; }
    DWORD Id() const { return m_process.dwProcessId; }
    HANDLE Handle() const { return m_process.hProcess; }
    // The moment just before the process was created.
    Clock::time_point StartTime() const { return m_startTime; }

    bool HasExited() const;
    bool WaitForExit(Millis timeout = kPatience) const;
    void Terminate();

    // Top-level windows of this process, visible or not, in z-order.
    std::vector<HWND> Windows() const;
    // The splash: a visible caption-less dialog whose child 1030 is a static; else null.
    HWND Splash() const;
    // The main dialog, found by its caption, visible or not; null before it exists.
    HWND MainDialog() const;
    // A visible message box of this process (a dialog with a static 0xFFFF), or null.
    HWND MessageBox() const;
    // The tooltip window owned by `owner`, or null.
    HWND ToolTipOf(HWND owner) const;

    // Each returns null when the timeout passed first.
    HWND WaitForSplash(Millis timeout = kPatience) const;
    HWND WaitForMainDialog(Millis timeout = kPatience) const;  // until it is visible
    HWND WaitForMessageBox(Millis timeout = kPatience) const;

    // The process's top-level windows with class, text and visibility, for failure messages.
    std::string Describe() const;

private:
    PROCESS_INFORMATION m_process{};
    Clock::time_point m_startTime;
    std::string m_startError;
};

// The user takes the mouse back: moves it about the resting place now and
// again until the program shows a message box, which is returned; null when
// none came within `timeout`.
HWND TakeTheMouse(const Program& program, Millis timeout = kPatience);

}  // namespace e2e
