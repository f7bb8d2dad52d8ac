#include "tests/bench/Reaction.h"

#include "tests/bench/BenchSupport.h"

namespace bench {

namespace {

constexpr e2e::Millis kFirstEnter{120000};
constexpr DWORD kWaitIntoTheWaitMs = 1000;
// Long enough for the program to have seen the first movement in any slice.
constexpr DWORD kBetweenMovementsMs = 300;
constexpr double kGiveUpMs = 5000;
constexpr const char* kBareBoxCaption = "Benchmark Box";

DWORD WINAPI ShowBareBox(void*) {
    MessageBoxA(nullptr, "A message box of the benchmark's own.", kBareBoxCaption, MB_OK);
    return 0;
}

// Whether the session has ended already; if so, notes why and closes the summary.
bool Over(SurfSession& session, Reaction& r, const char* when) {
    if (!session.Idle() && !session.SummaryBox()) return false;
    r.endedEarly = when;
    if (HWND box = session.TakeTheMouse()) session.CloseSummary(box);
    return true;
}

}  // namespace

Reaction MeasureReaction(SurfSession& session) {
    Reaction r;
    const size_t enters = session.Enters();
    if (!session.StartSurfing()) return r;
    if (!session.WaitForEnters(enters + 1, kFirstEnter)) {
        if (HWND box = session.TakeTheMouse()) session.CloseSummary(box);
        return r;
    }
    Sleep(kWaitIntoTheWaitMs);
    if (Over(session, r, "before the user's first movement")) return r;
    // A user's two movements: from where the cursor is, a nudge and another.
    const POINT cursor = e2e::CursorNow();
    SetCursorPos(cursor.x + 20, cursor.y);
    Sleep(kBetweenMovementsMs);
    if (Over(session, r, "at the user's first movement")) return r;

    const double moved = NowMs();
    SetCursorPos(cursor.x + 40, cursor.y);
    HWND box = nullptr;
    // Polled every millisecond; each milestone is noted when first seen.
    while (r.boxShownMs < 0 && NowMs() - moved < kGiveUpMs) {
        const double at = NowMs() - moved;
        if (r.endingMs < 0 && session.Idle()) r.endingMs = at;
        if (r.inFrontMs < 0 && GetForegroundWindow() == session.Dialog()) r.inFrontMs = at;
        if (!box && (box = session.SummaryBox())) r.boxExistsMs = at;
        if (box && IsWindowVisible(box)) r.boxShownMs = at;
        Sleep(1);
    }
    if (!box) box = session.TakeTheMouse();
    SetCursorPos(e2e::kRestingPlace.x, e2e::kRestingPlace.y);
    if (box) session.CloseSummary(box);
    return r;
}

Reaction MeasureBareBox() {
    Reaction r;
    const double called = NowMs();
    HANDLE thread = CreateThread(nullptr, 0, ShowBareBox, nullptr, 0, nullptr);
    if (!thread) return r;
    HWND box = nullptr;
    while (r.boxShownMs < 0 && NowMs() - called < kGiveUpMs) {
        const double at = NowMs() - called;
        if (!box && (box = FindWindowA("#32770", kBareBoxCaption))) r.boxExistsMs = at;
        if (box && IsWindowVisible(box)) r.boxShownMs = at;
        Sleep(1);
    }
    if (box) e2e::CloseMessageBox(box);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    return r;
}

}  // namespace bench
