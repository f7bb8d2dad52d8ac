// How soon the program gives the user the mouse back: from the second mouse
// movement inside a visit's long wait to the summary box.
#pragma once

#include "tests/bench/SurfSession.h"

namespace bench {

// Milliseconds after the user's second movement; -1 when it did not happen.
struct Reaction {
    // When the session was over before the second movement: why, else empty.
    const char* endedEarly = "";
    double endingMs = -1;  // the Start caption is back: the wait noticed, the session is ending
    double inFrontMs = -1;  // the main dialog is the foreground window
    double boxExistsMs = -1;  // the summary box exists
    double boxShownMs = -1;  // and is visible
};

// Starts a session, waits for its first Enter (the wait after it lasts 15 to
// 25 s), and there moves the cursor twice: the first movement is forgiven, the
// second ends the visit. Closes the summary afterwards.
Reaction MeasureReaction(SurfSession& session);

// The same milestones for a message box that this process shows itself: what
// the system takes to make and show a box at all, for comparison.
Reaction MeasureBareBox();

}  // namespace bench
