// The real program measured from outside, each figure beside a baseline from
// the same run: its start-up against the splash's 1450 ms and an empty dialog
// program; the CPU time of a session's waiting against a bare loop of
// Sleep(5) + GetCursorPos running meanwhile in a process of its own; how soon
// the summary box follows the user's second mouse movement, against one 5 ms
// slice; its private bytes against the empty dialog's.
//
//     program_bench [reaction-runs]     (default 3)
//     program_bench --bare-loop         (the CPU baseline; the benchmark starts it)
//
// It surfs against the stand-in browser and moves the cursor itself: nothing
// else may use the mouse meanwhile. A command, not a test: it asserts nothing.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/bench/BareLoop.h"
#include "tests/bench/ProcessCost.h"
#include "tests/bench/SurfSession.h"

namespace bench {

namespace {

constexpr double kSplashMs = 1450;
constexpr int kStartUps = 3;
constexpr double kCpuGoal = 1.10;
constexpr double kReactionGoalMs = 20;  // beyond one slice
// A minute of the program's pure waiting; the session's first page has 35 to
// 101 s of it, with short wanders between, and the next visit adds more.
constexpr double kWaitingToMeasureMs = 60000;
constexpr double kSamplingLimitMs = 300000;
constexpr DWORD kSampleMs = 100;
constexpr e2e::Millis kFirstEnter{120000};

double NowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// A path that the build gave as a host path ("/...") is on Wine's drive Z:.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string OwnPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string Megabytes(double bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f MB", bytes / (1024 * 1024));
    return text;
}

// ---- start-up and memory at rest ----

struct StartUp {
    // From just before the process was created; 0 when it did not happen.
    double splashShownMs = 0;
    double splashGoneMs = 0;
    double visibleMs = 0;  // the main dialog, or the empty dialog
    double privateBytes = 0;
    std::string memorySource;
};

HWND VisibleDialogOf(const e2e::Program& program) {
    for (HWND window : program.Windows())
        if (e2e::ClassOf(window) == "#32770" && IsWindowVisible(window)) return window;
    return nullptr;
}

// One run of `exe` until its dialog (the main dialog when it is the program)
// is visible, noting on the way when the program's splash came and went; then
// its memory once it has settled.
StartUp MeasureStartUp(const std::string& exe, const std::string& folder, bool isProgram) {
    StartUp result;
    e2e::Program program(folder, exe);
    if (!program.Started()) return result;
    auto since = [&] { return std::chrono::duration<double, std::milli>(e2e::Clock::now() - program.StartTime()).count(); };
    while (result.visibleMs == 0 && since() < e2e::kPatience.count() && !program.HasExited()) {
        HWND shown = isProgram ? program.MainDialog() : VisibleDialogOf(program);
        if (shown && IsWindowVisible(shown)) result.visibleMs = since();
        const bool splash = isProgram && program.Splash();
        if (splash && result.splashShownMs == 0) result.splashShownMs = since();
        if (!splash && result.splashShownMs > 0 && result.splashGoneMs == 0) result.splashGoneMs = since();
        Sleep(2);
    }
    if (result.visibleMs == 0) return result;
    Sleep(2000);
    const PrivateMemory memory = PrivateMemoryOf(program.Handle(), exe);
    result.privateBytes = memory.bytes;
    result.memorySource = memory.source;
    return result;
}

// ---- CPU of a session's waiting ----

// The bare loop in a process of its own, so that it is measured exactly as the
// program is: whole-process CPU time, read from outside.
class BareLoopProcess {
public:
    BareLoopProcess() {
        std::string command = "\"" + OwnPath() + "\" --bare-loop";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_process))
            m_process = {};
    }
    ~BareLoopProcess() {
        if (!m_process.hProcess) return;
        TerminateProcess(m_process.hProcess, 0);
        WaitForSingleObject(m_process.hProcess, 5000);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
    BareLoopProcess(const BareLoopProcess&) = delete;
    BareLoopProcess& operator=(const BareLoopProcess&) = delete;

    HANDLE Handle() const { return m_process.hProcess; }

private:
    PROCESS_INFORMATION m_process{};
};

struct Sample {
    double wallMs;
    double programCpuMs;
    double bareCpuMs;
    POINT cursor;
    bool inVisit;
    size_t events;
};

struct WaitingCost {
    double waitingMs = 0;  // the wall time that counted
    double programCpuMs = 0;
    double bareCpuMs = 0;
    double sampledMs = 0;  // all the time sampled
    double privateBytes = 0;
    double ProgramPerMinute() const { return waitingMs > 0 ? programCpuMs * 60000 / waitingMs : 0; }
    double BarePerMinute() const { return waitingMs > 0 ? bareCpuMs * 60000 / waitingMs : 0; }
};

// Samples both processes every 100 ms while the program is inside a visit
// (its thread has pumped no message for five seconds: the system calls it
// hung) and counts only the stretches in which it did nothing but wait: the
// cursor stayed put (no glide) and the stand-in received nothing (no key, no
// click, no wheel).
WaitingCost MeasureWaiting(SurfSession& session, HANDLE bareLoop) {
    auto take = [&] {
        Sample s{};
        s.wallMs = NowMs();
        s.programCpuMs = ProcessCpuMs(session.Program().Handle());
        s.bareCpuMs = ProcessCpuMs(bareLoop);
        GetCursorPos(&s.cursor);
        s.inVisit = IsHungAppWindow(session.Dialog()) != FALSE;
        s.events = session.Events();
        return s;
    };
    WaitingCost cost;
    const double start = NowMs();
    Sample previous = take();
    while (cost.waitingMs < kWaitingToMeasureMs && NowMs() - start < kSamplingLimitMs &&
           !session.Program().HasExited()) {
        Sleep(kSampleMs);
        const Sample now = take();
        if (previous.inVisit && now.inVisit && previous.events == now.events && previous.cursor.x == now.cursor.x &&
            previous.cursor.y == now.cursor.y) {
            cost.waitingMs += now.wallMs - previous.wallMs;
            cost.programCpuMs += now.programCpuMs - previous.programCpuMs;
            cost.bareCpuMs += now.bareCpuMs - previous.bareCpuMs;
        }
        previous = now;
    }
    cost.sampledMs = NowMs() - start;
    cost.privateBytes = PrivateMemoryOf(session.Program().Handle(), e2e::ProgramPath()).bytes;
    return cost;
}

// ---- reaction ----

struct Reaction {
    double noticedMs = -1;  // second movement to the Start caption back (the session is ending)
    double existsMs = -1;   // ... to the summary box existing
    double shownMs = -1;    // ... and visible
};

// Inside the wait after Enter (15 to 25 s), the user moves the mouse twice;
// the first movement is tolerated, the second ends the visit.
Reaction MeasureReaction(SurfSession& session) {
    Reaction reaction;
    const size_t enters = session.Enters();
    if (!session.StartSurfing() || !session.WaitForEnters(enters + 1, kFirstEnter)) return reaction;
    Sleep(1000);
    SetCursorPos(kRestingPlace.x + 30, kRestingPlace.y);
    Sleep(300);  // long enough for the program to have seen it, in any slice
    const double moved = NowMs();
    SetCursorPos(kRestingPlace.x + 60, kRestingPlace.y);
    HWND box = nullptr;
    while (!(box = session.SummaryBox()) && NowMs() - moved < 5000) {
        if (reaction.noticedMs < 0 && session.Idle()) reaction.noticedMs = NowMs() - moved;
        Sleep(1);
    }
    if (!box) {
        box = session.TakeTheMouse();
    } else {
        reaction.existsMs = NowMs() - moved;
        while (!IsWindowVisible(box) && NowMs() - moved < 5000) Sleep(1);
        if (IsWindowVisible(box)) reaction.shownMs = NowMs() - moved;
    }
    SetCursorPos(kRestingPlace.x, kRestingPlace.y);
    if (box) session.CloseSummary(box);
    return reaction;
}

// ---- the report ----

void Header() {
    std::printf("%-44s %22s %14s %10s   %s\n", "", "baseline", "program", "ratio", "goal");
}

void Row(const char* what, const std::string& baseline, const std::string& program, const std::string& ratio,
         const std::string& goal) {
    std::printf("%-44s %22s %14s %10s   %s\n", what, baseline.c_str(), program.c_str(), ratio.c_str(),
                goal.c_str());
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Verdict(bool met) { return met ? "met" : "MISSED"; }

int BareLoopForever() {
    timeBeginPeriod(1);  // as the program does
    for (;;) BareSlices(1000);
}

int Run(int reactionRuns) {
    const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
    const std::string program = e2e::ProgramPath();
    const std::string emptyDialog = WindowsPath(EMPTY_DIALOG_EXE_BUILT);
    SurfSession session(WindowsPath(STANDIN_EXE_BUILT));
    if (!session.Error().empty()) {
        std::fprintf(stderr, "program_bench: %s\n", session.Error().c_str());
        return 2;
    }

    std::printf("Measuring start-up and memory at rest (%d starts each)...\n", kStartUps);
    std::fflush(stdout);
    std::vector<StartUp> empties, programs;
    for (int i = 0; i < kStartUps; ++i) {
        empties.push_back(MeasureStartUp(emptyDialog, session.Folder().Path(), false));
        programs.push_back(MeasureStartUp(program, session.Folder().Path(), true));
    }
    auto median = [](const std::vector<StartUp>& runs, double StartUp::*field) {
        std::vector<double> values;
        for (const StartUp& run : runs) values.push_back(run.*field);
        return Median(values);
    };

    std::printf("Measuring a minute of a session's waiting (the first page comes some 20 s after Start)...\n");
    std::fflush(stdout);
    WaitingCost waiting;
    {
        BareLoopProcess bareLoop;
        if (!bareLoop.Handle() || !session.StartProgram() || !session.StartSurfing() ||
            !session.WaitForEnters(1, kFirstEnter)) {
            std::fprintf(stderr, "program_bench: %s\n",
                         session.Error().empty() ? "cannot start the bare loop" : session.Error().c_str());
            return 2;
        }
        waiting = MeasureWaiting(session, bareLoop.Handle());
    }
    if (HWND box = session.TakeTheMouse()) session.CloseSummary(box);

    std::printf("Measuring the reaction to the user's mouse (%d sessions of some 20 s)...\n", reactionRuns);
    std::fflush(stdout);
    const double sliceStart = NowMs();
    BareSlices(200);
    const double sliceMs = (NowMs() - sliceStart) / 200;
    std::vector<double> noticed, exists, shown;
    std::string reactionNote;
    for (int i = 0; i < reactionRuns; ++i) {
        const Reaction r = MeasureReaction(session);
        if (r.existsMs < 0) continue;
        noticed.push_back(r.noticedMs);
        exists.push_back(r.existsMs);
        shown.push_back(r.shownMs);
        reactionNote += Format(i ? ", %.1f" : "%.1f", r.noticedMs) + Format("/%.1f", r.existsMs) +
                        Format("/%.1f", r.shownMs);
    }
    if (!session.Error().empty()) std::printf("note: %s\n", session.Error().c_str());
    timeEndPeriod(1);

    std::printf("\nThe program (%s) against baselines from the same run; 1 ms timer resolution: %s\n\n",
                program.c_str(), fineTimer ? "granted" : "REFUSED");
    Header();
    const double startMs = median(programs, &StartUp::visibleMs);
    const double emptyMs = median(empties, &StartUp::visibleMs);
    Row("start-up to main dialog visible (median)", Format("splash %.0f ms", kSplashMs), Format("%.0f ms", startMs),
        Format("%.2f", startMs / kSplashMs), "none set");
    Row("  the same less an empty dialog's start-up", Format("splash %.0f ms", kSplashMs),
        Format("%.0f ms", startMs - emptyMs), Format("%.2f", (startMs - emptyMs) / kSplashMs), "none set");
    Row("  (empty dialog: process start to visible)", "", Format("%.0f ms", emptyMs), "", "");
    Row("  splash shown for (median)", Format("splash %.0f ms", kSplashMs),
        Format("%.0f ms", median(programs, &StartUp::splashGoneMs) - median(programs, &StartUp::splashShownMs)), "",
        "");

    const double cpuRatio = waiting.BarePerMinute() > 0 ? waiting.ProgramPerMinute() / waiting.BarePerMinute() : 0;
    Row("CPU per minute of a session's waiting", Format("bare loop %.0f ms", waiting.BarePerMinute()),
        Format("%.0f ms", waiting.ProgramPerMinute()), Format("%.3f", cpuRatio),
        Format("<= %.2f  ", kCpuGoal) + Verdict(cpuRatio > 0 && cpuRatio <= kCpuGoal));

    const double reaction = Median(exists);
    const double beyond = reaction - sliceMs;
    Row("reaction: 2nd move to summary box (median)", Format("one slice %.1f ms", sliceMs),
        exists.empty() ? "-" : Format("%.1f ms", reaction), exists.empty() ? "-" : Format("+%.1f ms", beyond),
        Format("< %.0f ms beyond the slice  ", kReactionGoalMs) + Verdict(!exists.empty() && beyond < kReactionGoalMs));
    Row("  of which until the session began to end", "", noticed.empty() ? "-" : Format("%.1f ms", Median(noticed)),
        "", "(Start caption back)");
    Row("  the same until the box is visible", "", shown.empty() ? "-" : Format("%.1f ms", Median(shown)), "", "");

    const double emptyBytes = median(empties, &StartUp::privateBytes);
    const double idleBytes = median(programs, &StartUp::privateBytes);
    Row("private bytes, main dialog at rest (median)", "empty dialog " + Megabytes(emptyBytes), Megabytes(idleBytes),
        Format("%.2f", emptyBytes > 0 ? idleBytes / emptyBytes : 0), "none set");
    Row("private bytes, inside a visit's wait", "empty dialog " + Megabytes(emptyBytes),
        Megabytes(waiting.privateBytes), Format("%.2f", emptyBytes > 0 ? waiting.privateBytes / emptyBytes : 0),
        "none set");

    std::printf("\nstart-ups (ms after process creation): empty dialog visible; program splash shown, splash"
                " gone, main dialog visible:\n ");
    for (int i = 0; i < kStartUps; ++i)
        std::printf(" %.0f; %.0f, %.0f, %.0f%s", empties[i].visibleMs, programs[i].splashShownMs,
                    programs[i].splashGoneMs, programs[i].visibleMs, i + 1 < kStartUps ? " |" : "");
    std::printf("\nCPU: %.1f s of pure waiting counted out of %.1f s sampled (glides, keys and the gaps between"
                " visits left out); program %.0f ms, bare loop %.0f ms of CPU in it\n",
                waiting.waitingMs / 1000, waiting.sampledMs / 1000, waiting.programCpuMs, waiting.bareCpuMs);
    std::printf("reactions (ms to the Start caption back / the box existing / the box visible): %s\n", reactionNote.empty() ? "none" : reactionNote.c_str());
    std::printf("private bytes: %s\n", programs.empty() ? "-" : programs.front().memorySource.c_str());
    return 0;
}

}  // namespace

}  // namespace bench

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--bare-loop") == 0) return bench::BareLoopForever();
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    return bench::Run(runs);
}
