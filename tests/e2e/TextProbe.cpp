// TextProbe.dll: loaded into the program under test, measures the texts of one
// of its dialogs with each control's own font (TextProbe.h).
#include "tests/e2e/TextProbe.h"

#include <cwchar>
#include <iterator>

namespace {

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t className[32] = L"";
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    return _wcsicmp(className, name) == 0;
}

// Where the control draws its text: a button inside its edges, an edit field in
// its formatting rectangle, a static in its whole client area.
RECT RoomOf(HWND control) {
    RECT room{};
    GetClientRect(control, &room);
    if (IsClass(control, L"Button"))
        InflateRect(&room, -2 * GetSystemMetrics(SM_CXEDGE), -2 * GetSystemMetrics(SM_CYEDGE));
    else if (IsClass(control, L"Edit"))
        SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    return room;
}

// A static of the left, centred or right kind breaks its text into lines; a
// button, an edit field and the other statics keep it on one.
bool Wraps(HWND control) {
    const LONG_PTR kind = GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK;
    return IsClass(control, L"Static") && (kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT);
}

void Measure(HWND control, e2e::TextFit& fit) {
    const RECT room = RoomOf(control);
    fit.roomWidth = room.right - room.left;
    fit.roomHeight = room.bottom - room.top;
    fit.wraps = Wraps(control);

    HDC dc = GetDC(control);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    // As wide as the room: a wrapping text breaks there, and a single word too
    // long for it widens the rectangle.
    constexpr UINT kCalculate = DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX;
    RECT needed{0, 0, fit.roomWidth, 0};
    DrawTextW(dc, fit.text, -1, &needed, kCalculate | (fit.wraps ? DT_WORDBREAK : DT_SINGLELINE));
    fit.neededWidth = needed.right - needed.left;
    fit.neededHeight = needed.bottom - needed.top;
    RECT line{};
    DrawTextW(dc, fit.text, -1, &line, kCalculate | DT_SINGLELINE);
    fit.lineWidth = line.right - line.left;
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
}

// The window's own scale where the system has one per window (Windows 10), else the system's.
int DpiOf(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (dpiForWindow) return static_cast<int>(dpiForWindow(window));
    HDC screen = GetDC(window);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(window, screen);
    return dpi;
}

SIZE SizeOf(const RECT& r) { return SIZE{r.right - r.left, r.bottom - r.top}; }

// Runs on the dialog's own thread (OnDialogThread): its windows, their device
// contexts and fonts are used there alone, as in the program itself.
void MeasureAll(e2e::TextProbe& probe) {
    RECT r{};
    GetWindowRect(probe.Dialog(), &r);
    probe.window = SizeOf(r);
    GetClientRect(probe.Dialog(), &r);
    probe.client = SizeOf(r);
    probe.dpi = DpiOf(probe.Dialog());

    probe.count = 0;
    for (HWND c = GetWindow(probe.Dialog(), GW_CHILD); c && probe.count < int(std::size(probe.fits));
         c = GetWindow(c, GW_HWNDNEXT)) {
        e2e::TextFit& fit = probe.fits[probe.count];
        fit.id = GetDlgCtrlID(c);
        if (!IsWindowVisible(c) || GetWindowTextW(c, fit.text, int(std::size(fit.text))) == 0) continue;
        Measure(c, fit);
        ++probe.count;
    }
    for (int i = 0; i < probe.extraCount; ++i) Measure(GetDlgItem(probe.Dialog(), probe.extras[i].id), probe.extras[i]);
}

UINT ProbeMessage() {
    static const UINT message = RegisterWindowMessageW(L"Veruvo.TextProbe");
    return message;
}

// Sees the messages sent to the dialog's thread; measures on ours alone.
LRESULT CALLBACK OnDialogThread(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == ProbeMessage() && sent->wParam == ProbeMessage())
        MeasureAll(*reinterpret_cast<e2e::TextProbe*>(sent->lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HMODULE ThisLibrary() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&OnDialogThread), &module);
    return module;
}

}  // namespace

// Called on a thread that the test starts in the program. Measuring there, beside
// the dialog's own thread, can corrupt Wine's heap; so the work is handed to
// that thread through a hook on the messages sent to it.
extern "C" __declspec(dllexport) DWORD WINAPI MeasureTexts(void* block) {
    auto& probe = *static_cast<e2e::TextProbe*>(block);
    const DWORD dialogThread = GetWindowThreadProcessId(probe.Dialog(), nullptr);
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, OnDialogThread, ThisLibrary(), dialogThread);
    if (!hook) return 0;
    probe.count = -1;
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(probe.Dialog(), ProbeMessage(), ProbeMessage(), reinterpret_cast<LPARAM>(block), SMTO_NORMAL,
                        30000, &answer);
    UnhookWindowsHookEx(hook);
    return probe.count >= 0 ? 1 : 0;
}
