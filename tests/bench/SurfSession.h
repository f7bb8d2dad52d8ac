// The real program surfing against the stand-in browser, driven from outside
// as its user drives it, for the benchmark to measure. The program's thread is
// busy for the length of a visit, so it is watched only through what needs no
// answer from it: stored captions, window existence and the stand-in's log.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "tests/e2e/Harness.h"
#include "tests/standin/StandinProcess.h"

namespace bench {

class SurfSession {
public:
    // Starts the stand-in and calibrates a fresh working folder to its
    // address bar (options.ini), with a one-line site list.
    explicit SurfSession(const std::string& standinExe);
    SurfSession(const SurfSession&) = delete;
    SurfSession& operator=(const SurfSession&) = delete;

    // Why the last step failed; empty while all went well.
    const std::string& Error() const { return m_error; }
    const e2e::TempFolder& Folder() const { return m_folder; }

    // Starts the program in the folder and waits for its main dialog.
    bool StartProgram();
    e2e::Program& Program() { return *m_program; }
    HWND Dialog() const { return m_dialog; }

    // Start as a user presses it, with no time limit, then the stand-in in
    // front with its bar focused (under Wine, keys that follow a click on
    // another process's window may still reach the window before it).
    bool StartSurfing();
    // Whether the Start/Stop button says Start: no session runs, or the one
    // that ran is ending (the caption is the first thing its end restores).
    bool Idle() const;
    // How many pages the stand-in was sent to so far (Enter in its bar).
    size_t Enters() const;
    // How many input events the stand-in has received so far.
    size_t Events() const { return m_browser->Events().size(); }
    bool WaitForEnters(size_t count, e2e::Millis timeout);

    // The program's end-of-session box, when it exists (shown or not yet).
    HWND SummaryBox() const;
    // The user takes the mouse back: it moves now and again until the summary shows.
    HWND TakeTheMouse();
    // Closes the summary and waits until the dialog is idle again.
    bool CloseSummary(HWND box);

private:
    bool Fail(const std::string& why);

    e2e::TempFolder m_folder;
    std::unique_ptr<standin::Process> m_browser;
    std::unique_ptr<e2e::Program> m_program;
    HWND m_dialog = nullptr;
    std::string m_error;
};

}  // namespace bench
