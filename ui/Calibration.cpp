// Recording the browser's address bar by pointing at its two corners, and
// showing the recorded rectangle by gliding the mouse once around it.
//
// The calibration keeps no state of its own: the caption of the calibration
// button is the state, so the three captions below are compared exactly.
#include <string>

#include "engine/Input.h"
#include "engine/Surfer.h"
#include "res/resource.h"
#include "ui/CornerText.h"

namespace {

constexpr const char* kSetCoordinates = "Set Coordinates of Address Bar";
constexpr const char* kRecordTopLeft = "Hit Spacebar to Record Top Left";
constexpr const char* kRecordBottomRight = "Hit Spacebar to Record Bottom Right";
// Shown only while the top-left corner is being stored, within one press.
constexpr const char* kStoringTopLeft = "Set Bottom Right Corner";

constexpr const char* kTraceIdle = "Trace Address Bar";
constexpr const char* kTraceRunning = "Tracing Address Bar";

constexpr uint32_t kReadoutPeriodMs = 10;
constexpr uint32_t kTraceLegSteps = 200;
constexpr uint32_t kTraceStepMs = 5;
constexpr uint32_t kTracePauseMs = 300;

}  // namespace

void CSurfer::OnSetCoordinates() {
    desktop::Window button = Item(IDC_SET_COORDS);
    const std::string caption = desktop::GetText(button);

    if (caption == kSetCoordinates) {
        desktop::SetText(button, kRecordTopLeft);
        desktop::SetTimer(DialogWindow(), TIMER_TRACK_TL, kReadoutPeriodMs);
    } else if (caption == kRecordTopLeft) {
        desktop::SetText(button, kStoringTopLeft);
        const desktop::Point corner = desktop::GetCursorPos();
        m_rcAddressBar.left = corner.x;
        m_rcAddressBar.top = corner.y;
        desktop::KillTimer(DialogWindow(), TIMER_TRACK_TL);
        SaveBoundaries();
        desktop::SetText(button, kRecordBottomRight);
        desktop::SetTimer(DialogWindow(), TIMER_TRACK_BR, kReadoutPeriodMs);
    } else if (caption == kRecordBottomRight) {
        desktop::SetText(button, kSetCoordinates);
        const desktop::Point corner = desktop::GetCursorPos();
        m_rcAddressBar.right = corner.x;
        m_rcAddressBar.bottom = corner.y;
        desktop::KillTimer(DialogWindow(), TIMER_TRACK_BR);
        SaveBoundaries();
        // So that the next space bar traces what was just recorded.
        desktop::Focus(Item(IDC_TRACE));
    }
}

void CSurfer::AbandonCalibration() {
    desktop::KillTimer(DialogWindow(), TIMER_TRACK_TL);
    desktop::KillTimer(DialogWindow(), TIMER_TRACK_BR);
    desktop::SetText(Item(IDC_SET_COORDS), kSetCoordinates);
    desktop::SetText(Item(IDC_TRACE), kTraceIdle);
}

void CSurfer::OnTrackTimer(uintptr_t id) {
    if (id != TIMER_TRACK_TL && id != TIMER_TRACK_BR) return;
    const int readout = id == TIMER_TRACK_TL ? IDC_TLC_POS : IDC_BRC_POS;
    const desktop::Point cursor = desktop::GetCursorPos();
    desktop::SetText(Item(readout), CornerText(cursor.x, cursor.y));
}

// Runs to its end whatever the user does: a disturbed leg ends early, the next
// starts from wherever the cursor is, and the cursor goes back in any case.
void CSurfer::TraceAddressBar() {
    const desktop::Rect bar = m_rcAddressBar;
    const desktop::Point before = desktop::GetCursorPos();
    desktop::SetCursorPos(desktop::Point{bar.left, bar.top});
    WatchfulWait(kTracePauseMs);

    // No message is handled until the trace returns, so paint the caption now.
    desktop::Window button = Item(IDC_TRACE);
    desktop::SetText(button, kTraceRunning);
    desktop::RepaintNow(button);

    GlideCursor(bar.right, bar.top, kTraceLegSteps, kTraceStepMs);
    GlideCursor(bar.right, bar.bottom, kTraceLegSteps, kTraceStepMs);
    GlideCursor(bar.left, bar.bottom, kTraceLegSteps, kTraceStepMs);
    GlideCursor(bar.left, bar.top, kTraceLegSteps, kTraceStepMs);
    WatchfulWait(kTracePauseMs);

    desktop::SetText(button, kTraceIdle);
    desktop::SetCursorPos(before);
    desktop::Focus(Item(IDOK));
}
