// A stand-in for the user's web browser in the end-to-end tests: a top-level
// window with an address bar (an EDIT control) that writes every input it
// receives to a log file, so that a test in another process can check what the
// program's synthesised input did. The log's format and the requests it
// answers are in StandinLog.h.
//
// The window class is a Unicode one, so that WM_CHAR carries UTF-16 code units
// whatever the ANSI code page, as a browser's would.
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstdio>
#include <string>

#include "tests/standin/StandinLog.h"

namespace {

const wchar_t kClassName[] = L"VeruvoStandin";
const wchar_t kTitle[] = L"Stand-in Browser";
const int kBarId = 100;
const int kMargin = 8;
const int kBarHeight = 24;

// Appends lines to the log file, each flushed at once so that a reader in
// another process sees it while we run.
class LogFile {
public:
    bool Open(const wchar_t* path) {
        file_ = _wfopen(path, L"ab");
        return file_ != nullptr;
    }
    void Close() {
        if (file_) fclose(file_);
        file_ = nullptr;
    }
    void Write(const std::string& line) {
        if (!file_) return;
        fputs(line.c_str(), file_);
        fputc('\n', file_);
        fflush(file_);
    }

private:
    FILE* file_ = nullptr;
};

LogFile g_log;
HWND g_bar = nullptr;
WNDPROC g_editProc = nullptr;

std::string Num(int64_t v) { return std::to_string(v); }

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
}

std::wstring TextOf(HWND w) {
    int length = GetWindowTextLengthW(w);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(w, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void LogKey(const char* kind, WPARAM vk, LPARAM flags) {
    int scan = static_cast<int>((flags >> 16) & 0xFF);
    int extended = (flags & (1 << 24)) ? 1 : 0;
    g_log.Write(std::string(kind) + " " + Num(static_cast<int64_t>(vk)) + " " + Num(scan) + " " +
                Num(extended));
}

void LogWheel(WPARAM wParam) { g_log.Write("wheel " + Num(GET_WHEEL_DELTA_WPARAM(wParam))); }

void LogPlacement(HWND window) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(window, &wp)) return;
    const RECT& r = wp.rcNormalPosition;
    g_log.Write("placement " + Num(wp.showCmd) + " " + Num(r.left) + " " + Num(r.top) + " " +
                Num(r.right) + " " + Num(r.bottom) + " " + Num(wp.ptMinPosition.x) + " " +
                Num(wp.ptMinPosition.y) + " " + Num(wp.ptMaxPosition.x) + " " +
                Num(wp.ptMaxPosition.y) + " " + Num(wp.flags));
}

// The address bar: an EDIT control subclassed so that it reports what it gets
// before handling it as usual.
LRESULT CALLBACK BarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        LogKey("keydown", wParam, lParam);
        if (wParam == VK_RETURN) g_log.Write("enter " + Utf8(TextOf(bar)));
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        LogKey("keyup", wParam, lParam);
        break;
    case WM_CHAR:
        g_log.Write("char " + Num(static_cast<int64_t>(wParam)));
        if (wParam == '\r' || wParam == '\n') return 0;  // a single-line edit would beep
        break;
    case WM_MOUSEWHEEL:
        // The edit would pass it on to us; report it once, here.
        LogWheel(wParam);
        return 0;
    case WM_LBUTTONDOWN: {
        POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(bar, &at);
        g_log.Write("click " + Num(at.x) + " " + Num(at.y));
        break;
    }
    case WM_SETFOCUS:
        g_log.Write("focus 1");
        break;
    case WM_KILLFOCUS:
        g_log.Write("focus 0");
        break;
    }
    return CallWindowProcW(g_editProc, bar, msg, wParam, lParam);
}

void CreateBar(HWND window) {
    g_bar = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"about:blank",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)),
                            GetModuleHandleW(nullptr), nullptr);
    SendMessageW(g_bar, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(g_bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BarProc)));
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        CreateBar(window);
        return 0;
    case WM_SIZE:
        MoveWindow(g_bar, kMargin, kMargin, LOWORD(lParam) - 2 * kMargin, kBarHeight, TRUE);
        return 0;
    case WM_ACTIVATE:
        g_log.Write("activate " + Num(LOWORD(wParam)) + " " + Num(HIWORD(wParam) ? 1 : 0));
        if (LOWORD(wParam) != WA_INACTIVE) SetFocus(g_bar);
        return 0;
    case WM_ACTIVATEAPP:
        g_log.Write("activateapp " + Num(wParam ? 1 : 0));
        break;
    case WM_SETFOCUS:
        SetFocus(g_bar);
        return 0;
    case WM_MOUSEWHEEL:
        LogWheel(wParam);
        return 0;
    case standin::kRequestPlacement:
        LogPlacement(window);
        return 0;
    case standin::kRequestShow:
        ShowWindow(window, static_cast<int>(wParam));
        LogPlacement(window);
        return 0;
    case standin::kRequestFocusBar:
        SetFocus(g_bar);
        return 0;
    case standin::kRequestHang:
        Sleep(static_cast<DWORD>(wParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

int ShowCommandFor(const std::wstring& word) {
    if (word == L"maximized") return SW_SHOWMAXIMIZED;
    if (word == L"minimized") return SW_SHOWMINIMIZED;
    return SW_SHOWNORMAL;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2 || !g_log.Open(argv[1])) return 2;
    int show = ShowCommandFor(argc > 2 ? argv[2] : L"");
    LocalFree(argv);

    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);

    HWND window = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, 100, 100, 640, 240,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return 3;
    ShowWindow(window, show);
    UpdateWindow(window);
    g_log.Write("ready " + Num(reinterpret_cast<intptr_t>(window)) + " " +
                Num(reinterpret_cast<intptr_t>(g_bar)));

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    g_log.Close();
    return 0;
}
