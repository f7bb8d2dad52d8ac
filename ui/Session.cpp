// Whether a session runs is recorded only in the caption of the Start/Stop
// button (CSessionRecord::SessionRunning).
#include "ui/Session.h"

#include <cstdio>
#include <string>

#include "engine/Interrupt.h"
#include "engine/SessionTime.h"
#include "framework/Random.h"

namespace {

constexpr uint32_t kSummaryFlags = desktop::kMbOk | desktop::kMbIconExclamation;

constexpr uint32_t kStatusPeriodMs = 1000;
constexpr uint32_t kFirstVisitMinMs = 5000;
constexpr uint32_t kFirstVisitMaxMs = 10000;

}  // namespace

// The rectangle is reloaded on every press, Stop included, so that a corner
// recorded since the last session is the one the next visit uses.
void CSurfSession::OnStartStop() {
    m_rcAddressBar.LoadBoundaries();
    if (SessionRunning()) {
        StopSession();
    } else {
        StartSession();
    }
}

// m_nState stays kIdle here, so the hours field stays in view (also through the
// trace) until the first status tick switches to the surfing layout.
void CSurfSession::StartSession() {
    m_nPages = 0;
    m_nUnreached = 0;
    // The window of an earlier session may have closed, or be the user's now.
    ForgetBrowser();
    m_strBrowser = m_rcAddressBar.Browser();
    // A refused hours text has shown its message; the session starts all the
    // same, with m_fHours as the exchange left it.
    UpdateData(true);
    m_tStart = desktop::Now();
    desktop::SetText(Item(IDOK), desktop::LoadText(IDS_STOP));
    TraceAddressBar();
    desktop::SetTimer(DialogWindow(), TIMER_STATUS, kStatusPeriodMs);
    desktop::SetTimer(DialogWindow(), TIMER_SURF, RandomRange(kFirstVisitMinMs, kFirstVisitMaxMs));
}

// Between visits only (a visit handles no clicks), and silently.
void CSurfSession::StopSession() {
    desktop::SetText(Item(IDOK), desktop::LoadText(IDS_START));
    desktop::KillTimer(DialogWindow(), TIMER_SURF);
    desktop::KillTimer(DialogWindow(), TIMER_STATUS);
    m_nState = kIdle;
    RefreshStatus();
}

std::string SummaryText(uint32_t pages, int64_t elapsedSeconds) {
    const int64_t minutes = elapsedSeconds / 60;
    const long long h = minutes / 60;
    const long long m = minutes % 60;
    char text[128];
    if (pages == 1) {
        std::snprintf(text, sizeof text, desktop::LoadText(IDS_SUMMARY_ONE).c_str(), h, m);
    } else {
        std::snprintf(text, sizeof text, desktop::LoadText(IDS_SUMMARY_MANY).c_str(),
                      static_cast<unsigned long>(pages), h, m);
    }
    return text;
}

// One visit per tick: the timer is stopped first and only a completed visit
// arms it again, so visits never overlap and the gap runs from a visit's end.
void CSurfSession::SurfTick() {
    desktop::KillTimer(DialogWindow(), TIMER_SURF);
    bool interrupted = false;
    try {
        const int64_t elapsed = desktop::Now() - m_tStart;
        if (LimitReached(m_fHours, elapsed)) {
            EndSession(SessionEnd::kTimeLimit, elapsed);
            return;
        }
        // A visit shows the countdown even when it comes before the first
        // status tick (a trace pressed in the first second delays both).
        m_nState = kSurfing;
        VisitPage();
    } catch (const CInterrupt&) {
        interrupted = true;
    }
    // The summary box runs a message loop of its own: run it outside the
    // handler, with the abandoned visit's frames gone.
    if (interrupted) EndSession(SessionEnd::kInterrupted, 0);
}

void CSurfSession::EndSession(SessionEnd reason, int64_t elapsedSeconds) {
    const bool interrupted = reason == SessionEnd::kInterrupted;
    desktop::SetText(Item(IDOK), desktop::LoadText(IDS_START));
    if (interrupted) {
        elapsedSeconds = desktop::Now() - m_tStart;
        // So that the next Start goes on with the rest of the time.
        if (m_fHours > 0.0f) {
            m_fHours = HoursLeft(m_fHours, elapsedSeconds);
            UpdateData(false);
        }
    }
    m_nState = kIdle;
    RefreshStatus();  // the idle layout; stops TIMER_STATUS

    const std::string summary = SummaryText(m_nPages, elapsedSeconds);
    if (interrupted) {
        ActivateSelf();
        desktop::ShowMessageBox(DialogWindow(), summary, desktop::LoadText(IDS_IDLE), kSummaryFlags);
        desktop::SetForegroundWindow(DialogWindow());
    } else {
        desktop::ShowMessageBox(DialogWindow(), summary, desktop::LoadText(IDS_DONE), kSummaryFlags);
        ActivateSelf();
    }
}
