// The bottom line of the main dialog: the hours limit while idle, the
// countdown in its place while surfing.
#include <limits>
#include <string>

#include "engine/SessionTime.h"
#include "engine/Surfer.h"
#include "res/resource.h"
#include "ui/StatusText.h"

namespace {

constexpr int32_t kIdle = 0;
constexpr int32_t kSurfing = 1;

constexpr uint32_t kSeveralUnreached = 3;
constexpr const char* kUnreached = "Cannot reach the browser";

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

std::string Count(int64_t n, const char* one, const char* many) {
    if (n == 0) return "";
    if (n == 1) return one;
    return std::to_string(n) + many;
}

}  // namespace

std::string StatusText(float hours, int64_t elapsedSeconds) {
    if (!(hours > 0.0f)) return "Will surf until user interrupts me";
    const int64_t remaining = RemainingMinutes(hours, elapsedSeconds);
    if (remaining <= 0) return "Finishing Current Page";
    const int64_t h = remaining / 60;
    const int64_t m = remaining % 60;
    const std::string separator = (h != 0 && m != 0) ? ", " : "";
    return "Will stop in " + Count(h, "1 hour", " hours") + separator + Count(m, "1 minute", " minutes");
}

void CSurfer::RefreshStatus() {
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
        desktop::SetText(Item(IDC_STATUS), unreached ? kUnreached : StatusText(m_fHours, desktop::Now() - m_tStart));
        // Called from inside long waits, when no paint message is dispatched.
        desktop::RepaintNow(Item(IDC_STATUS));
    } else if (!SessionRunning()) {
        // In a session's first second the layout is still the idle one; a
        // trace pressed then refreshes it, and must not stop the tick that
        // brings the countdown.
        desktop::KillTimer(DialogWindow(), TIMER_STATUS);
    }
}
