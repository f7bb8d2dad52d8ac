#include "engine/WatchfulWait.h"

#include <cstdlib>

#include "framework/Desktop.h"

namespace {

constexpr uint32_t kSliceMs = 5;
constexpr uint32_t kSlicesPerRefresh = 100;
constexpr int64_t kStillPixels = 5;  // a cursor this far from the reference has not moved

bool MovedFrom(desktop::Point p, desktop::Point reference) {
    return std::llabs(static_cast<int64_t>(p.x) - reference.x) > kStillPixels ||
           std::llabs(static_cast<int64_t>(p.y) - reference.y) > kStillPixels;
}

}  // namespace

// Counts slices rather than reading a clock. One movement is a nudge and is
// forgiven; a second one, measured from where the first left the cursor,
// means the user has taken the mouse. A key, a button or the wheel is never
// a nudge: the user has taken the keyboard or the mouse at once.
int WatchfulWait(uint32_t ms, const std::function<void()>& refresh) {
    desktop::Point reference = desktop::GetCursorPos();
    int movements = 0;
    const uint32_t slices = ms / kSliceMs;
    refresh();
    for (uint32_t j = 0; j < slices; ++j) {
        desktop::Sleep(kSliceMs);
        const desktop::Point p = desktop::GetCursorPos();
        if (j % kSlicesPerRefresh == 0) refresh();
        if (MovedFrom(p, reference)) {
            reference = desktop::GetCursorPos();
            ++movements;
        }
        if (movements >= 2 || desktop::UserInputs() != 0) return 1;
    }
    return 0;
}
