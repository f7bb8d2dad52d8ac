#include "tests/bench/StartUp.h"

#include "tests/bench/BenchSupport.h"
#include "tests/bench/ProcessCost.h"
#include "tests/e2e/Harness.h"

namespace bench {

namespace {

// Memory is read this long after the dialog showed, when start-up's own
// allocations have come and gone.
constexpr DWORD kSettleMs = 2000;

HWND VisibleDialogOf(const e2e::Program& program) {
    for (HWND window : program.Windows())
        if (e2e::ClassOf(window) == "#32770" && IsWindowVisible(window)) return window;
    return nullptr;
}

}  // namespace

StartUp MeasureStartUp(const std::string& exe, const std::string& folder, bool isProgram) {
    StartUp result;
    const double created = NowMs();  // the process is created right after
    e2e::Program program(folder, exe);
    if (!program.Started()) return result;
    auto since = [&] { return NowMs() - created; };
    // Polled every 2 ms: the milestones are a few milliseconds apart at least.
    while (result.visibleMs < 0 && since() < e2e::kPatience.count() && !program.HasExited()) {
        HWND dialog = isProgram ? program.MainDialog() : VisibleDialogOf(program);
        if (dialog && IsWindowVisible(dialog)) result.visibleMs = since();
        const bool splash = isProgram && program.Splash();
        if (splash && result.splashShownMs < 0) result.splashShownMs = since();
        if (!splash && result.splashShownMs >= 0 && result.splashGoneMs < 0) result.splashGoneMs = since();
        Sleep(2);
    }
    if (result.visibleMs < 0) return result;
    Sleep(kSettleMs);
    const ProcessCost cost(program.Handle(), exe);
    result.privateBytes = cost.PrivateBytes();
    result.costSource = cost.Source();
    return result;
}

}  // namespace bench
