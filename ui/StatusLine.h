// The bottom line of the main dialog: the hours limit while idle, the
// countdown in its place while surfing; and the waits of the dialog's thread,
// which keep it fresh.
#pragma once

#include <cstdint>
#include <string>

#include "ui/SessionRecord.h"

class CStatusLine : public CSessionRecord {
public:
    // The layout of m_nState, and while surfing the countdown.
    void RefreshStatus();
    // Waits `ms` with the status line kept fresh; 1 when the user took the
    // mouse meanwhile, else 0.
    int WatchfulWait(uint32_t ms);
};

// What the status line says while surfing, from the hours limit and the time
// surfed: "Will surf until user interrupts me" without a limit (hours 0 or
// less), "Will stop in 1 hour, 30 minutes" while whole minutes remain, else
// "Finishing Current Page".
std::string StatusText(float hours, int64_t elapsedSeconds);
