// The CPU time of a surf session's waiting, beside a bare loop of Sleep(5) +
// GetCursorPos that runs meanwhile in a process of its own.
#pragma once

#include <string>

#include "tests/bench/SurfSession.h"

namespace bench {

struct WaitingCost {
    double waitingMs = 0;  // the wall time that counted as pure waiting
    double sampledMs = 0;  // all the time sampled
    double programCpuMs = -1;
    double bareCpuMs = -1;
    double privateBytes = -1;  // the program's, inside the visit
    // The program's CPU time against the bare loop's in the first and the
    // second half of the waiting counted: how far the ratio drifts within one
    // run, which is the measurement's noise.
    double halfRatios[2] = {-1, -1};

    double ProgramPerMinute() const { return PerMinute(programCpuMs); }
    double BarePerMinute() const { return PerMinute(bareCpuMs); }

private:
    double PerMinute(double cpuMs) const { return waitingMs > 0 && cpuMs >= 0 ? cpuMs * 60000 / waitingMs : -1; }
};

// Starts the bare loop from `bareLoopExe`, and samples it and the program of
// `session`, which must be inside its first visit's typing or waiting, until a
// minute of pure waiting has been seen (or five minutes have passed).
WaitingCost MeasureWaiting(SurfSession& session, const std::string& bareLoopExe);

}  // namespace bench
