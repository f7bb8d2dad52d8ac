#include "tests/e2e/Wait.h"

#include <windows.h>

#include <cstdlib>

namespace e2e {

namespace {

double TimeoutScale() {
    const char* text = std::getenv("VERUVO_E2E_TIMEOUT_SCALE");
    const double scale = text ? std::atof(text) : 1.0;
    return scale > 1.0 ? scale : 1.0;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, Millis timeout) {
    static const double scale = TimeoutScale();
    const auto deadline = Clock::now() + Millis(static_cast<long long>(static_cast<double>(timeout.count()) * scale));
    for (;;) {
        if (condition()) return true;
        if (Clock::now() >= deadline) return false;
        // This thread's own windows (none, usually) keep working while it waits.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

long long ElapsedMs(Clock::time_point start) {
    return std::chrono::duration_cast<Millis>(Clock::now() - start).count();
}

}  // namespace e2e
