// A surf session: the Start/Stop command, the dialog's timers, the surf tick
// with its time limit, and the end of a session with its summary.
//
// Whether a session runs is recorded only in the caption of the Start/Stop
// button, so the two captions below are compared exactly.
#include <string>

#include "engine/Interrupt.h"
#include "engine/Random.h"
#include "engine/SessionTime.h"
#include "engine/Surfer.h"
#include "res/resource.h"

namespace {

constexpr const char* kStartCaption = "Nimbrel Surf The Web";
constexpr const char* kStopCaption = "Stop Surfing";
constexpr const char* kTimeLimitCaption = "Done Surfing";
constexpr const char* kInterruptedCaption = "Nimbrel Veruvo Idle";
constexpr uint32_t kSummaryFlags = desktop::kMbOk | desktop::kMbIconExclamation;

constexpr uint32_t kStatusPeriodMs = 1000;
constexpr uint32_t kFirstVisitMinMs = 5000;
constexpr uint32_t kFirstVisitMaxMs = 10000;

}  // namespace

// The rectangle is reloaded on every press, Stop included, so that a corner
// recorded since the last session is the one the next visit uses.
void CSurfer::OnStartStop() {
    LoadBoundaries();
    if (SessionRunning()) {
        StopSession();
    } else {
        StartSession();
    }
}

bool CSurfer::SessionRunning() const { return desktop::GetText(Item(IDOK)) != kStartCaption; }

// m_nState stays 0 here, so the hours field stays in view (also through the
// trace) until the first status tick switches to the surfing layout.
void CSurfer::StartSession() {
    m_nPages = 0;
    m_nUnreached = 0;
    // The window of an earlier session may have closed, or be the user's now.
    ForgetBrowser();
    // A refused hours text has shown its message; the session starts all the
    // same, with m_fHours as the exchange left it.
    UpdateData(true);
    m_tStart = desktop::Now();
    desktop::SetText(Item(IDOK), kStopCaption);
    TraceAddressBar();
    desktop::SetTimer(DialogWindow(), TIMER_STATUS, kStatusPeriodMs);
    desktop::SetTimer(DialogWindow(), TIMER_SURF, RandomRange(kFirstVisitMinMs, kFirstVisitMaxMs));
}

// Between visits only (a visit handles no clicks), and silently.
void CSurfer::StopSession() {
    desktop::SetText(Item(IDOK), kStartCaption);
    desktop::KillTimer(DialogWindow(), TIMER_SURF);
    desktop::KillTimer(DialogWindow(), TIMER_STATUS);
    m_nState = 0;
    RefreshStatus();
}

bool CSurfer::DispatchTimer(uintptr_t id) {
    switch (id) {
    case TIMER_SURF:
        SurfTick();
        return true;
    case TIMER_TRACK_TL:
    case TIMER_TRACK_BR:
        OnTrackTimer(id);
        return true;
    case TIMER_STATUS:
        m_nState = 1;
        RefreshStatus();
        return true;
    default:
        return false;
    }
}

// One visit per tick: the timer is stopped first and only a completed visit
// arms it again, so visits never overlap and the gap runs from a visit's end.
void CSurfer::SurfTick() {
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
        m_nState = 1;
        VisitPage();
    } catch (const CInterrupt&) {
        interrupted = true;
    }
    // The summary box runs a message loop of its own: run it outside the
    // handler, with the abandoned visit's frames gone.
    if (interrupted) EndSession(SessionEnd::kInterrupted, 0);
}

void CSurfer::EndSession(SessionEnd reason, int64_t elapsedSeconds) {
    const bool interrupted = reason == SessionEnd::kInterrupted;
    desktop::SetText(Item(IDOK), kStartCaption);
    if (interrupted) {
        elapsedSeconds = desktop::Now() - m_tStart;
        // So that the next Start goes on with the rest of the time.
        if (m_fHours > 0.0f) {
            m_fHours = HoursLeft(m_fHours, elapsedSeconds);
            UpdateData(false);
        }
    }
    m_nState = 0;
    RefreshStatus();  // the idle layout; stops TIMER_STATUS

    const std::string summary = SummaryText(m_nPages, elapsedSeconds);
    if (interrupted) {
        ActivateSelf();
        desktop::ShowMessageBox(DialogWindow(), summary, kInterruptedCaption, kSummaryFlags);
        desktop::SetForegroundWindow(DialogWindow());
    } else {
        desktop::ShowMessageBox(DialogWindow(), summary, kTimeLimitCaption, kSummaryFlags);
        ActivateSelf();
    }
}
