// Waiting for something the program does in its own time.
//
// Always a poll with a generous timeout that pumps this thread's own messages,
// never a blind sleep: a loaded machine running Wine may be many times slower
// than a desktop, and a test must only get slower there, not flaky.
#pragma once

#include <chrono>
#include <functional>

namespace e2e {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// How long to wait for anything the program is expected to do on its own.
constexpr Millis kPatience{30000};

// Polls `condition` until it holds or `timeout` has passed; reports whether it held.
// Every timeout is multiplied by VERUVO_E2E_TIMEOUT_SCALE when the environment
// sets it (a number of at least 1), for a test bed known to be slower, such as
// an emulated machine: there a test only waits longer, and asserts the same.
bool WaitUntil(const std::function<bool()>& condition, Millis timeout = kPatience);

// Milliseconds elapsed since `start`.
long long ElapsedMs(Clock::time_point start);

}  // namespace e2e
