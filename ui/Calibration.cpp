#include "ui/Calibration.h"

#include <cstdio>
#include <string>

#include "engine/Browser.h"
#include "engine/Input.h"
#include "store/Boundaries.h"
#include "ui/CornerText.h"

namespace {

constexpr uint32_t kReadoutPeriodMs = 10;
constexpr uint32_t kTraceLegSteps = 200;
constexpr uint32_t kTraceStepMs = 5;
constexpr uint32_t kTracePauseMs = 300;

}  // namespace

void CCalibration::OnSetCoordinates() {
    desktop::Window button = Item(IDC_SET_COORDS);
    const std::string caption = desktop::GetText(button);

    if (caption == desktop::LoadText(IDS_SET_COORDINATES)) {
        desktop::SetText(button, desktop::LoadText(IDS_RECORD_TOP_LEFT));
        desktop::SetTimer(DialogWindow(), TIMER_TRACK_TL, kReadoutPeriodMs);
    } else if (caption == desktop::LoadText(IDS_RECORD_TOP_LEFT)) {
        // Shown only while the corner is being stored, within one press.
        desktop::SetText(button, desktop::LoadText(IDS_STORING_TOP_LEFT));
        const desktop::Point corner = desktop::GetCursorPos();
        desktop::KillTimer(DialogWindow(), TIMER_TRACK_TL);
        const bool saved = m_rcAddressBar.Saved();
        m_rcAddressBar.RecordTopLeft(corner, BrowserProgramAt(corner));
        if (saved && !m_rcAddressBar.Saved()) TellNotSaved();
        desktop::SetText(button, desktop::LoadText(IDS_RECORD_BOTTOM_RIGHT));
        desktop::SetTimer(DialogWindow(), TIMER_TRACK_BR, kReadoutPeriodMs);
    } else if (caption == desktop::LoadText(IDS_RECORD_BOTTOM_RIGHT)) {
        desktop::SetText(button, desktop::LoadText(IDS_SET_COORDINATES));
        const desktop::Point corner = desktop::GetCursorPos();
        desktop::KillTimer(DialogWindow(), TIMER_TRACK_BR);
        const bool saved = m_rcAddressBar.Saved();
        m_rcAddressBar.RecordBottomRight(corner, BrowserProgramAt(corner));
        if (saved && !m_rcAddressBar.Saved()) TellNotSaved();
        // So that the next space bar traces what was just recorded.
        desktop::Focus(Item(IDC_TRACE));
    }
}

// Once, when what was recorded first stays out of the file: the corners are
// kept until the program ends, and each later press tries to save them again.
void CCalibration::TellNotSaved() {
    char text[1024];
    std::snprintf(text, sizeof text, desktop::LoadText(IDS_NOT_SAVED).c_str(),
                  desktop::FullPath(kBoundariesFile).c_str());
    desktop::ShowMessageBox(DialogWindow(), text, desktop::AppName(), desktop::kMbOk | desktop::kMbIconExclamation);
}

void CCalibration::AbandonCalibration() {
    desktop::KillTimer(DialogWindow(), TIMER_TRACK_TL);
    desktop::KillTimer(DialogWindow(), TIMER_TRACK_BR);
    desktop::SetText(Item(IDC_SET_COORDS), desktop::LoadText(IDS_SET_COORDINATES));
    desktop::SetText(Item(IDC_TRACE), desktop::LoadText(IDS_TRACE));
}

void CCalibration::OnTrackTimer(uintptr_t id) {
    if (id != TIMER_TRACK_TL && id != TIMER_TRACK_BR) return;
    const int readout = id == TIMER_TRACK_TL ? IDC_TLC_POS : IDC_BRC_POS;
    const desktop::Point cursor = desktop::GetCursorPos();
    desktop::SetText(Item(readout), CornerText(cursor.x, cursor.y));
}

// Runs to its end whatever the user does: a disturbed leg ends early, the next
// starts from wherever the cursor is, and the cursor goes back in any case.
void CCalibration::TraceAddressBar() {
    const desktop::Rect bar = m_rcAddressBar.Rect();
    const desktop::Point before = desktop::GetCursorPos();
    desktop::SetCursorPos(desktop::Point{bar.left, bar.top});
    WatchfulWait(kTracePauseMs);

    // No message is handled until the trace returns, so paint the caption now.
    desktop::Window button = Item(IDC_TRACE);
    desktop::SetText(button, desktop::LoadText(IDS_TRACING));
    desktop::RepaintNow(button);

    GlideCursor(bar.right, bar.top, kTraceLegSteps, kTraceStepMs);
    GlideCursor(bar.right, bar.bottom, kTraceLegSteps, kTraceStepMs);
    GlideCursor(bar.left, bar.bottom, kTraceLegSteps, kTraceStepMs);
    GlideCursor(bar.left, bar.top, kTraceLegSteps, kTraceStepMs);
    WatchfulWait(kTracePauseMs);

    desktop::SetText(button, desktop::LoadText(IDS_TRACE));
    desktop::SetCursorPos(before);
    desktop::Focus(Item(IDOK));
}

void CCalibration::ShowCorners() {
    const desktop::Rect& bar = m_rcAddressBar.Rect();
    desktop::SetText(Item(IDC_TLC_POS), CornerText(bar.left, bar.top));
    desktop::SetText(Item(IDC_BRC_POS), CornerText(bar.right, bar.bottom));
}
