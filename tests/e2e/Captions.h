// The texts that the program shows and the harness waits for, as its user
// reads them on the screen: the program's own (res/Texts.h), so that the
// tests follow an edited text as the program does.
#pragma once

#include "res/Texts.h"

namespace e2e {

// The main dialog's caption, which also tells it apart from other dialogs.
constexpr const char* kMainCaption = TEXT_TITLE;
// The caption of the program's message boxes: the executable's name without extension.
constexpr const char* kBoxCaption = "Veruvo";

// The Start/Stop button.
constexpr const char* kStartCaption = TEXT_START;
constexpr const char* kStopCaption = TEXT_STOP;

// The calibration button, idle and while it waits for each corner.
constexpr const char* kSetCoordinates = TEXT_SET_COORDINATES;
constexpr const char* kRecordTopLeft = TEXT_RECORD_TOP_LEFT;
constexpr const char* kRecordBottomRight = TEXT_RECORD_BOTTOM_RIGHT;

// The trace button, idle and while the trace runs.
constexpr const char* kTraceIdle = TEXT_TRACE;
constexpr const char* kTraceRunning = TEXT_TRACING;

// The summary box at a session's end: its caption when the user took the
// mouse and when the time limit came, and how its text begins.
constexpr const char* kInterruptedCaption = TEXT_IDLE;
constexpr const char* kTimeLimitCaption = TEXT_DONE;
constexpr const char* kSummary = "User has interrupted Nimbrel Veruvo.\nSurfed ";

}  // namespace e2e
