// Where the window system enters the dialog's behaviour: its timers and the
// commands of its buttons. A handler catches what it expects (the surf tick,
// the user taking the mouse); anything else, an allocation that failed say,
// must not unwind through the window system's frames nor end the program. It
// ends here: the session stops as Stop stops it, silently (neither the time
// limit nor the user ended it, and the summary would say one of them did),
// nothing is written, and the program carries on, idle.
#include "ui/Surfer.h"

namespace {

constexpr float kMaxHours = 1e10f;

}  // namespace

bool CSurfer::OnSurferTimer(uintptr_t id) { return Contained(&CSurfer::DispatchTimer, id); }

bool CSurfer::OnSurferCommand(int id) { return Contained(&CSurfer::DispatchCommand, static_cast<uintptr_t>(id)); }

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
        m_nState = kSurfing;
        RefreshStatus();
        return true;
    default:
        return false;
    }
}

bool CSurfer::DispatchCommand(uintptr_t id) {
    switch (id) {
    case IDOK:
        OnStartStop();
        return true;
    case IDC_SET_COORDS:
        OnSetCoordinates();
        return true;
    case IDC_TRACE:
        TraceAddressBar();
        return true;
    default:
        return false;
    }
}

bool CSurfer::Contained(bool (CSurfer::*handler)(uintptr_t), uintptr_t id) {
    try {
        return (this->*handler)(id);
    } catch (...) {
        try {
            RecoverFromFault();
        } catch (...) {
            // Out of memory even for that: the timers are stopped already, so
            // nothing more runs, and the next press of Start/Stop starts over.
        }
        return true;
    }
}

// The whole dialog goes back to idle, the calibration too: whatever was under
// way may have been left half done.
void CSurfer::RecoverFromFault() {
    // First what needs no memory, so that nothing more runs whatever fails next.
    for (uintptr_t timer : {TIMER_SURF, TIMER_STATUS, TIMER_TRACK_TL, TIMER_TRACK_BR}) {
        desktop::KillTimer(DialogWindow(), timer);
    }
    StopSession();
    AbandonCalibration();
}

bool CSurfer::UpdateData(bool saveAndValidate) {
    CDataExchange dx(DialogWindow(), saveAndValidate);
    DoDataExchange(dx);
    return !dx.m_bFailed;
}

void CSurfer::DoDataExchange(CDataExchange& dx) {
    DDX_Text(dx, IDC_HOURS, m_fHours);
    DDV_MinMaxFloat(dx, IDC_HOURS, m_fHours, 0.0f, kMaxHours);
}
