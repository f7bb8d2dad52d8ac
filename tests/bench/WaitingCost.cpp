#include "tests/bench/WaitingCost.h"

#include "tests/bench/BenchSupport.h"
#include "tests/bench/ProcessCost.h"

namespace bench {

namespace {

// A minute of the program's pure waiting. The session's first page has 35 to
// 101 s of it after Enter, with short wanders between; the next visit adds more.
constexpr double kWaitingToMeasureMs = 60000;
constexpr double kSamplingLimitMs = 300000;
constexpr DWORD kSampleMs = 100;

struct Sample {
    double wallMs;
    double programCpuMs;
    double bareCpuMs;
    POINT cursor;
    bool inVisit;
    size_t events;
};

// A stretch between two samples in which the program did nothing but wait:
// inside a visit at both ends (its thread has pumped no message for five
// seconds: the system calls it hung), the cursor where it was (no glide), and
// nothing new in the stand-in's log (no key, click or wheel).
bool PureWaiting(const Sample& from, const Sample& to) {
    return from.inVisit && to.inVisit && from.events == to.events && from.cursor.x == to.cursor.x &&
           from.cursor.y == to.cursor.y;
}

}  // namespace

WaitingCost MeasureWaiting(SurfSession& session, const std::string& bareLoopExe) {
    WaitingCost cost;
    e2e::Program bareLoop(session.Folder().Path(), bareLoopExe);
    if (!bareLoop.Started()) return cost;
    const ProcessCost program(session.Program().Handle(), e2e::ProgramPath());
    const ProcessCost bare(bareLoop.Handle(), bareLoopExe);

    auto take = [&] {
        Sample s{};
        s.wallMs = NowMs();
        s.programCpuMs = program.CpuMs();
        s.bareCpuMs = bare.CpuMs();
        GetCursorPos(&s.cursor);
        s.inVisit = IsHungAppWindow(session.Dialog()) != FALSE;
        s.events = session.Events();
        return s;
    };
    const double start = NowMs();
    Sample previous = take();
    double programCpu = 0, bareCpu = 0;
    double programHalf[2] = {0, 0}, bareHalf[2] = {0, 0};
    bool readable = previous.programCpuMs >= 0 && previous.bareCpuMs >= 0;
    while (readable && cost.waitingMs < kWaitingToMeasureMs && NowMs() - start < kSamplingLimitMs &&
           !session.Program().HasExited()) {
        Sleep(kSampleMs);
        const Sample now = take();
        readable = now.programCpuMs >= 0 && now.bareCpuMs >= 0;
        if (readable && PureWaiting(previous, now)) {
            const int half = cost.waitingMs < kWaitingToMeasureMs / 2 ? 0 : 1;
            cost.waitingMs += now.wallMs - previous.wallMs;
            programCpu += now.programCpuMs - previous.programCpuMs;
            bareCpu += now.bareCpuMs - previous.bareCpuMs;
            programHalf[half] += now.programCpuMs - previous.programCpuMs;
            bareHalf[half] += now.bareCpuMs - previous.bareCpuMs;
        }
        previous = now;
    }
    cost.sampledMs = NowMs() - start;
    if (readable) {
        cost.programCpuMs = programCpu;
        cost.bareCpuMs = bareCpu;
        for (int half = 0; half < 2; ++half)
            if (bareHalf[half] > 0) cost.halfRatios[half] = programHalf[half] / bareHalf[half];
    }
    cost.privateBytes = program.PrivateBytes();
    return cost;
}

}  // namespace bench
