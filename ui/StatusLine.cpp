// The bottom line of the main dialog: the hours limit while idle, the
// countdown in its place while surfing.
#include <string>

#include "engine/Surfer.h"
#include "res/resource.h"
#include "ui/StatusText.h"

namespace {

constexpr int32_t kIdle = 0;
constexpr int32_t kSurfing = 1;

// The limit in whole minutes, truncated toward zero. 64 bits hold every
// accepted limit; what lies beyond (an out-of-range value kept after the range
// message) is capped far above any countdown a person will watch.
int64_t LimitMinutes(float hours) {
    const double minutes = static_cast<double>(hours) * 60.0;
    constexpr double kCap = 1e15;
    return minutes >= kCap ? static_cast<int64_t>(kCap) : static_cast<int64_t>(minutes);
}

std::string Count(int64_t n, const char* one, const char* many) {
    if (n == 0) return "";
    if (n == 1) return one;
    return std::to_string(n) + many;
}

}  // namespace

std::string StatusText(float hours, int64_t elapsedSeconds) {
    if (!(hours > 0.0f)) return "Will surf until user interrupts me";
    // Whole minutes of the limit less whole minutes surfed: not the exact time left.
    const int64_t remaining = LimitMinutes(hours) - elapsedSeconds / 60;
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
        desktop::SetText(Item(IDC_STATUS), StatusText(m_fHours, desktop::Now() - m_tStart));
    } else {
        desktop::KillTimer(DialogWindow(), TIMER_STATUS);
    }
}
