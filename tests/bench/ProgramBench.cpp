// The real program measured from outside, each figure beside a baseline from
// the same run: its start-up against the splash's 1450 ms and an empty dialog
// program; the CPU time of a session's waiting against a bare loop of
// Sleep(5) + GetCursorPos; how soon the summary box follows the user's second
// mouse movement, against one 5 ms slice; its private bytes against the empty
// dialog's.
//
//     program_bench [reaction-runs]     (default 3)
//     program_bench --start-up          (only the start-up and the memory at rest)
//
// It surfs against the stand-in browser and moves the cursor itself: nothing
// else may use the mouse meanwhile. A command, not a test: it judges each
// figure against its goal and prints the verdict, and fails only when it
// could not measure.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/bench/BareLoop.h"
#include "tests/bench/BenchSupport.h"
#include "tests/bench/Reaction.h"
#include "tests/bench/StartUp.h"
#include "tests/bench/SurfSession.h"
#include "tests/bench/WaitingCost.h"

namespace bench {

namespace {

constexpr double kSplashMs = 1450;
constexpr int kStartUps = 3;
constexpr int kBareBoxes = 3;
constexpr double kCpuGoal = 1.10;
constexpr double kReactionGoalMs = 20;  // beyond one slice
constexpr e2e::Millis kFirstEnter{120000};

void Progress(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

std::string Ms(double ms, const char* format = "%.0f ms") { return ms < 0 ? "-" : Format(format, ms); }

std::string Megabytes(double bytes) { return bytes < 0 ? "-" : Format("%.2f MB", bytes / (1024 * 1024)); }

std::string Ratio(double a, double b, const char* format = "%.2f") {
    return a < 0 || b <= 0 ? "-" : Format(format, a / b);
}

// a - b of two figures, or -1 when either was not measured.
double Less(double a, double b) { return a < 0 || b < 0 ? -1 : a - b; }

std::string Verdict(bool met) { return met ? "met" : "MISSED"; }

void Row(const std::string& what, const std::string& baseline, const std::string& program, const std::string& ratio,
         const std::string& goal) {
    std::printf("%-46s %22s %12s %9s   %s\n", what.c_str(), baseline.c_str(), program.c_str(), ratio.c_str(),
                goal.c_str());
}

template <class Run>
double MedianOf(const std::vector<Run>& runs, double Run::*field) {
    std::vector<double> values;
    for (const Run& run : runs) values.push_back(run.*field);
    return Median(values);
}

struct Results {
    std::vector<StartUp> empties, programs;
    WaitingCost waiting;
    double sliceMs = -1;
    std::vector<Reaction> reactions, bareBoxes;
};

void StartUpRows(const Results& r) {
    const double start = MedianOf(r.programs, &StartUp::visibleMs);
    const double empty = MedianOf(r.empties, &StartUp::visibleMs);
    const double splashGone = MedianOf(r.programs, &StartUp::splashGoneMs);
    const double splashFor = Less(splashGone, MedianOf(r.programs, &StartUp::splashShownMs));
    const std::string splash = Ms(kSplashMs, "splash %.0f ms");
    Row("start-up: process start to main dialog shown", splash, Ms(start), Ratio(start, kSplashMs), "none set");
    Row("  less an empty dialog's start-up", splash, Ms(Less(start, empty)), Ratio(Less(start, empty), kSplashMs), "");
    Row("  the splash shown for", splash, Ms(splashFor), Ratio(splashFor, kSplashMs), "");
    Row("  splash gone to main dialog shown", "", Ms(Less(start, splashGone)), "", "");

    const double emptyBytes = MedianOf(r.empties, &StartUp::privateBytes);
    const double restBytes = MedianOf(r.programs, &StartUp::privateBytes);
    Row("private bytes, main dialog at rest", "empty dialog " + Megabytes(emptyBytes), Megabytes(restBytes),
        Ratio(restBytes, emptyBytes), "none set");
}

void SessionRows(const Results& r) {
    const WaitingCost& w = r.waiting;
    const double emptyBytes = MedianOf(r.empties, &StartUp::privateBytes);
    Row("private bytes, inside a visit's wait", "empty dialog " + Megabytes(emptyBytes), Megabytes(w.privateBytes),
        Ratio(w.privateBytes, emptyBytes), "none set");

    const double cpuRatio = w.BarePerMinute() > 0 ? w.ProgramPerMinute() / w.BarePerMinute() : -1;
    Row("CPU per minute of a session's waiting", Ms(w.BarePerMinute(), "bare loop %.0f ms"),
        Ms(w.ProgramPerMinute()), Ratio(w.ProgramPerMinute(), w.BarePerMinute(), "%.3f"),
        Format("<= %.2f  ", kCpuGoal) + Verdict(cpuRatio >= 0 && cpuRatio <= kCpuGoal));

    std::vector<Reaction> valid;
    for (const Reaction& x : r.reactions)
        if (!*x.endedEarly) valid.push_back(x);
    const double boxExists = MedianOf(valid, &Reaction::boxExistsMs);
    const double beyond = Less(boxExists, r.sliceMs);
    Row("reaction: 2nd mouse move to summary box", Ms(r.sliceMs, "one slice %.1f ms"), Ms(boxExists, "%.1f ms"),
        Ms(beyond, "+%.1f ms"),
        Format("< %.0f ms beyond the slice  ", kReactionGoalMs) + Verdict(beyond >= 0 && beyond < kReactionGoalMs));
    Row("  to the session ending (Start caption back)", "", Ms(MedianOf(valid, &Reaction::endingMs), "%.1f ms"), "",
        "");
    Row("  to the main dialog in front", "", Ms(MedianOf(valid, &Reaction::inFrontMs), "%.1f ms"), "", "");
    Row("  to the summary box shown", "", Ms(MedianOf(valid, &Reaction::boxShownMs), "%.1f ms"), "", "");
    Row("  a bare message box: call to box existing", "", Ms(MedianOf(r.bareBoxes, &Reaction::boxExistsMs), "%.1f ms"),
        "", "");
    Row("                      call to box shown", "", Ms(MedianOf(r.bareBoxes, &Reaction::boxShownMs), "%.1f ms"),
        "", "");
}

void Details(const Results& r, bool withSession) {
    std::printf("\nStart-ups, ms after process creation (empty dialog shown; program splash shown, splash gone,"
                " main dialog shown):\n");
    for (size_t i = 0; i < r.programs.size(); ++i)
        std::printf("  %.0f;  %.0f, %.0f, %.0f\n", r.empties[i].visibleMs, r.programs[i].splashShownMs,
                    r.programs[i].splashGoneMs, r.programs[i].visibleMs);
    if (withSession) {
        const WaitingCost& w = r.waiting;
        std::printf("CPU: %.1f s of pure waiting counted in %.1f s sampled (glides, keys and the time between visits"
                    " left out): program %.0f ms, bare loop %.0f ms; ratio %.3f in the first half, %.3f in the"
                    " second (the difference is the run's noise)\n",
                    w.waitingMs / 1000, w.sampledMs / 1000, w.programCpuMs, w.bareCpuMs, w.halfRatios[0],
                    w.halfRatios[1]);
        std::printf("Reactions, ms after the 2nd move (ending, in front, box exists, box shown):\n");
        for (const Reaction& x : r.reactions) {
            if (*x.endedEarly)
                std::printf("  none: the session ended %s (left out)\n", x.endedEarly);
            else
                std::printf("  %.1f, %.1f, %.1f, %.1f\n", x.endingMs, x.inFrontMs, x.boxExistsMs, x.boxShownMs);
        }
    }
    const std::string source = r.programs.empty() ? std::string() : r.programs.front().costSource;
    std::printf("CPU and memory of a process read from %s\n", source.c_str());
}

void Report(const Results& r, bool withSession) {
    Row("", "baseline", "program", "ratio", "goal");
    StartUpRows(r);
    if (withSession) SessionRows(r);
    Details(r, withSession);
}

int Run(int reactionRuns, bool startUpOnly) {
    const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
    SurfSession session(e2e::WindowsPath(STANDIN_EXE_BUILT));
    if (!session.Error().empty()) {
        std::fprintf(stderr, "program_bench: %s\n", session.Error().c_str());
        return 2;
    }
    Results r;

    Progress("Start-up and memory at rest (3 starts of the program and of an empty dialog)...");
    for (int i = 0; i < kStartUps; ++i) {
        r.empties.push_back(MeasureStartUp(e2e::WindowsPath(EMPTY_DIALOG_EXE_BUILT), session.Folder().Path(), false));
        r.programs.push_back(MeasureStartUp(e2e::ProgramPath(), session.Folder().Path(), true));
    }
    if (startUpOnly) {
        std::printf("\n");
        Report(r, false);
        return 0;
    }

    Progress("A minute of a session's waiting (the first page is entered some 20 s after Start)...");
    if (!session.StartProgram() || !session.StartSurfing() || !session.WaitForEnters(1, kFirstEnter)) {
        std::fprintf(stderr, "program_bench: %s\n", session.Error().c_str());
        return 2;
    }
    r.waiting = MeasureWaiting(session, e2e::WindowsPath(BARE_LOOP_EXE_BUILT));
    if (HWND box = session.TakeTheMouse()) session.CloseSummary(box);

    Progress("The reaction to the user's mouse (sessions of some 20 s each)...");
    const double sliceStart = NowMs();
    BareSlices(200);
    r.sliceMs = (NowMs() - sliceStart) / 200;
    for (int i = 0; i < reactionRuns; ++i) r.reactions.push_back(MeasureReaction(session));
    for (int i = 0; i < kBareBoxes; ++i) r.bareBoxes.push_back(MeasureBareBox());
    if (!session.Error().empty()) std::printf("note: %s\n", session.Error().c_str());
    if (fineTimer) timeEndPeriod(1);

    std::printf("\nThe program (%s) against baselines of the same run; 1 ms timer resolution: %s\n\n",
                e2e::ProgramPath().c_str(), fineTimer ? "granted" : "REFUSED");
    Report(r, true);
    return 0;
}

}  // namespace

}  // namespace bench

int main(int argc, char** argv) {
    const std::string option = argc > 1 ? argv[1] : "";
    const int runs = std::atoi(option.c_str());
    return bench::Run(runs > 0 ? runs : 3, option == "--start-up");
}
