#include "tests/e2e/Wait.h"

#include <windows.h>

namespace e2e {

bool WaitUntil(const std::function<bool()>& condition, Millis timeout) {
    const auto deadline = Clock::now() + timeout;
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
