// The texts that the program shows and the harness waits for, as its user
// reads them on the screen. Written out here rather than taken from the
// program's source, so that a change to one of them shows as a failing test.
#pragma once

namespace e2e {

// The main dialog's caption, which also tells it apart from other dialogs.
constexpr const char* kMainCaption = "Nimbrel Veruvo 1.0";
// The caption of the program's message boxes: the executable's name without extension.
constexpr const char* kBoxCaption = "Veruvo";

// The Start/Stop button.
constexpr const char* kStartCaption = "Nimbrel Surf The Web";
constexpr const char* kStopCaption = "Stop Surfing";

// The calibration button, idle and while it waits for each corner.
constexpr const char* kSetCoordinates = "Set Coordinates of Address Bar";
constexpr const char* kRecordTopLeft = "Hit Spacebar to Record Top Left";
constexpr const char* kRecordBottomRight = "Hit Spacebar to Record Bottom Right";

// The trace button, idle and while the trace runs.
constexpr const char* kTraceIdle = "Trace Address Bar";
constexpr const char* kTraceRunning = "Tracing Address Bar";

// The summary box at a session's end: its caption when the user took the
// mouse and when the time limit came, and how its text begins.
constexpr const char* kInterruptedCaption = "Nimbrel Veruvo Idle";
constexpr const char* kTimeLimitCaption = "Done Surfing";
constexpr const char* kSummary = "User has interrupted Nimbrel Veruvo.\nSurfed ";

}  // namespace e2e
