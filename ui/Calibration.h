// Recording the browser's address bar by pointing at its two corners, showing
// the recorded corners, and gliding the mouse once around the rectangle.
//
// The calibration keeps no state of its own: the caption of the calibration
// button is the state, compared exactly with the texts of the string table.
#pragma once

#include <cstdint>

#include "ui/StatusLine.h"

class CCalibration : public CStatusLine {
public:
    // The calibration button, and the space bar while it has the focus: each
    // press takes the next step.
    void OnSetCoordinates();
    // TIMER_TRACK_TL, TIMER_TRACK_BR: the live read-out of the corner awaited.
    void OnTrackTimer(uintptr_t id);
    void TraceAddressBar();
    void ShowCorners();

protected:
    // Both buttons idle again, the live read-outs stopped.
    void AbandonCalibration();

private:
    // The corners just recorded could not be saved: the user is told which file.
    void TellNotSaved();
};
