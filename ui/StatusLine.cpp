#include "ui/StatusLine.h"

#include <limits>

#include "engine/SessionTime.h"
#include "engine/WatchfulWait.h"

namespace {

constexpr uint32_t kSeveralUnreached = 3;

// Whole minutes of the limit less whole minutes surfed: not the exact time
// left. A clock set back makes the minutes surfed negative; the difference then
// saturates rather than overflows.
int64_t RemainingMinutes(float hours, int64_t elapsedSeconds) {
    const int64_t limit = LimitMinutes(hours);
    const int64_t surfed = elapsedSeconds / 60;
    if (surfed < 0 && limit > std::numeric_limits<int64_t>::max() + surfed) {
        return std::numeric_limits<int64_t>::max();
    }
    return limit - surfed;
}

std::string Count(int64_t n, uint32_t one, uint32_t many) {
    if (n == 0) return "";
    if (n == 1) return desktop::LoadText(one);
    return std::to_string(n) + desktop::LoadText(many);
}

}  // namespace

std::string StatusText(float hours, int64_t elapsedSeconds) {
    if (!(hours > 0.0f)) return desktop::LoadText(IDS_NO_LIMIT);
    const int64_t remaining = RemainingMinutes(hours, elapsedSeconds);
    if (remaining <= 0) return desktop::LoadText(IDS_FINISHING);
    const int64_t h = remaining / 60;
    const int64_t m = remaining % 60;
    const std::string separator = (h != 0 && m != 0) ? ", " : "";
    return desktop::LoadText(IDS_WILL_STOP_IN) + Count(h, IDS_ONE_HOUR, IDS_HOURS_LEFT) + separator +
           Count(m, IDS_ONE_MINUTE, IDS_MINUTES_LEFT);
}

void CStatusLine::RefreshStatus() {
    if (m_nState != kIdle && m_nState != kSurfing) return;
    const bool surfing = m_nState == kSurfing;
    desktop::Show(Item(IDC_HOURS), !surfing);
    desktop::Show(Item(IDC_HOURS_LABEL), !surfing);
    desktop::Show(Item(IDC_STOP_AFTER_LABEL), !surfing);
    desktop::Show(Item(IDC_STATUS), surfing);
    if (surfing) {
        // Several visits in a row could not type: the user should know why
        // nothing happens in the browser.
        const bool unreached = m_nUnreached >= kSeveralUnreached;
        desktop::SetText(Item(IDC_STATUS), unreached ? desktop::LoadText(IDS_UNREACHED)
                                                     : StatusText(m_fHours, desktop::Now() - m_tStart));
        // Called from inside long waits, when no paint message is dispatched.
        desktop::RepaintNow(Item(IDC_STATUS));
    } else if (!SessionRunning()) {
        // In a session's first second the layout is still the idle one; a
        // trace pressed then refreshes it, and must not stop the tick that
        // brings the countdown.
        desktop::KillTimer(DialogWindow(), TIMER_STATUS);
    }
}

int CStatusLine::WatchfulWait(uint32_t ms) {
    return ::WatchfulWait(ms, [this] { RefreshStatus(); });
}
