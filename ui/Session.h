// A surf session: started and stopped by the Start/Stop button, one page visit
// per TIMER_SURF tick, a time limit tested at each tick, and at its end a
// summary of the pages surfed.
#pragma once

#include <cstdint>
#include <string>

#include "ui/PageVisit.h"

class CSurfSession : public CPageVisit {
public:
    // The Start/Stop button (IDOK, also Enter in the hours field).
    void OnStartStop();

protected:
    // One page visit, unless the time limit has come.
    void SurfTick();
    // Between visits only (a visit handles no clicks), and silently.
    void StopSession();

private:
    enum class SessionEnd { kTimeLimit, kInterrupted };
    void StartSession();
    // elapsedSeconds: the time-limit test's figure; an interruption measures its own.
    void EndSession(SessionEnd reason, int64_t elapsedSeconds);
};

// The two lines of the end-of-session message box, e.g.
// "User has interrupted Nimbrel Veruvo.\nSurfed 12 pages in 10:00".
std::string SummaryText(uint32_t pages, int64_t elapsedSeconds);
