// A stand-in for the user's web browser in the end-to-end tests: a top-level
// window with an address bar that behaves like today's browsers' (AddressBar.h)
// above a page, writing every input it receives to a log file, so that a test
// in another process can check what the program's synthesised input did. The
// log's format, the command line and the requests it answers are in
// StandinLog.h.
//
// The window class is a Unicode one, so that WM_CHAR carries UTF-16 code units
// whatever the ANSI code page, as a browser's would.
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/standin/AddressBar.h"
#include "tests/standin/StandinLog.h"

namespace {

const wchar_t kClassName[] = L"VeruvoStandin";
const wchar_t kTitle[] = L"Stand-in Browser";
const int kBarId = 100;
const int kPageId = 101;
const int kMargin = 8;
const int kBarHeight = 24;
const UINT_PTR kWatchForeground = 1;

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
HWND g_page = nullptr;
HWND g_lastFocus = nullptr;
WNDPROC g_editProc = nullptr;
WNDPROC g_pageProc = nullptr;
std::unique_ptr<standin::AddressBar> g_addressBar;
// Set for a browser that cannot be brought to the front: it hands the
// foreground back to the window that had it before, the last other window
// seen in front.
bool g_staysBehind = false;
HWND g_behind = nullptr;
// With --drops: which character typed after a click the bar loses, and how
// many it has been typed since.
int g_drops = 0;
int g_typedSinceClick = 0;

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

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
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

// Enter opens the whole text: the visit is logged and remembered, and the
// page takes the keyboard, as in a browser, so that the next click into the
// bar is one that focuses it.
void Open(HWND bar) {
    const std::wstring address = standin::TextOf(bar);
    g_log.Write("enter " + Utf8(address));
    g_addressBar->Visited(address);
    SetFocus(g_page);
}

// The address bar: an EDIT control subclassed so that it reports what it gets
// before handling it as today's browsers do.
LRESULT CALLBACK BarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        LogKey("keydown", wParam, lParam);
        if (wParam == VK_RETURN) {
            Open(bar);
            return 0;
        }
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        LogKey("keyup", wParam, lParam);
        break;
    case WM_CHAR:
        if (wParam >= 0x20 && ++g_typedSinceClick == g_drops) {
            g_log.Write("dropped " + Num(static_cast<int64_t>(wParam)));
            return 0;
        }
        g_log.Write("char " + Num(static_cast<int64_t>(wParam)));
        if (wParam == '\r' || wParam == '\n') return 0;  // a single-line edit would beep
        break;
    case WM_GETTEXT:
        if (InSendMessage()) {
            const LRESULT copied = CallWindowProcW(g_editProc, bar, msg, wParam, lParam);
            g_log.Write("read " + Utf8(std::wstring(reinterpret_cast<const wchar_t*>(lParam), copied)));
            return copied;
        }
        break;
    case WM_MOUSEWHEEL:
        // The edit would pass it on to us; report it once, here.
        LogWheel(wParam);
        return 0;
    case WM_LBUTTONDOWN: {
        POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(bar, &at);
        g_log.Write("click " + Num(at.x) + " " + Num(at.y));
        g_typedSinceClick = 0;
        break;
    }
    case WM_SETFOCUS:
        g_log.Write("focus 1");
        break;
    case WM_KILLFOCUS:
        g_log.Write("focus 0");
        break;
    }
    return g_addressBar->Handle(bar, msg, wParam, lParam,
                                [&] { return CallWindowProcW(g_editProc, bar, msg, wParam, lParam); });
}

// The page: it turns the wheel, as a browser's page does.
LRESULT CALLBACK PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSEWHEEL) {
        LogWheel(wParam);
        return 0;
    }
    return CallWindowProcW(g_pageProc, page, msg, wParam, lParam);
}

void CreateControls(HWND window) {
    g_bar = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"about:blank",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)),
                            GetModuleHandleW(nullptr), nullptr);
    SendMessageW(g_bar, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(g_bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BarProc)));
    g_page = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY,
                             0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPageId)),
                             GetModuleHandleW(nullptr), nullptr);
    g_pageProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(g_page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PageProc)));
    g_lastFocus = g_bar;
}

// The last window other than ours that was in front, to hand the foreground
// back to.
void WatchForeground(HWND window) {
    HWND front = GetForegroundWindow();
    if (front && front != window) g_behind = front;
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        CreateControls(window);
        return 0;
    case WM_SIZE: {
        const int width = LOWORD(lParam) - 2 * kMargin;
        const int pageTop = 2 * kMargin + kBarHeight;
        MoveWindow(g_bar, kMargin, kMargin, width, kBarHeight, TRUE);
        MoveWindow(g_page, kMargin, pageTop, width, HIWORD(lParam) - pageTop - kMargin, TRUE);
        return 0;
    }
    case WM_ACTIVATE:
        g_log.Write("activate " + Num(LOWORD(wParam)) + " " + Num(HIWORD(wParam) ? 1 : 0));
        if (LOWORD(wParam) == WA_INACTIVE) {
            g_lastFocus = GetFocus();
            return 0;
        }
        if (g_staysBehind) {
            g_log.Write("refused front");
            PostMessageW(window, standin::kGiveBack, 0, 0);
        }
        // Back where the keyboard was when the window was left.
        SetFocus(g_lastFocus ? g_lastFocus : g_bar);
        return 0;
    case WM_MOUSEACTIVATE:
        if (!g_staysBehind) break;
        // The click neither activates the window nor reaches it.
        g_log.Write("refused click");
        return MA_NOACTIVATEANDEAT;
    case standin::kGiveBack:
        if (g_behind) SetForegroundWindow(g_behind);
        return 0;
    case WM_TIMER:
        if (wParam == kWatchForeground) WatchForeground(window);
        return 0;
    case WM_ACTIVATEAPP:
        g_log.Write("activateapp " + Num(wParam ? 1 : 0));
        break;
    case WM_SETFOCUS:
        SetFocus(g_lastFocus ? g_lastFocus : g_bar);
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

// One address a line, in UTF-8, the most recent first.
std::vector<std::wstring> ReadHistory(const std::wstring& path) {
    std::vector<std::wstring> history;
    std::ifstream in(path.c_str(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) history.push_back(Wide(line));
    }
    return history;
}

void LogCompletion(const std::wstring& typed, const std::wstring& shown) {
    g_log.Write("complete " + Num(static_cast<int64_t>(typed.size())) + " " + Utf8(shown));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2 || !g_log.Open(argv[1])) return 2;
    int show = SW_SHOWNORMAL;
    POINT at = {100, 100};
    std::vector<std::wstring> history;
    DWORD exStyle = 0;
    for (int i = 2; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--history" && i + 1 < argc) {
            history = ReadHistory(argv[++i]);
        } else if (arg == L"--at" && i + 2 < argc) {
            at.x = _wtoi(argv[++i]);
            at.y = _wtoi(argv[++i]);
        } else if (arg == L"--stays-behind") {
            g_staysBehind = true;
        } else if (arg == L"--drops" && i + 1 < argc) {
            g_drops = _wtoi(argv[++i]);
        } else if (arg == L"--topmost") {
            exStyle = WS_EX_TOPMOST;  // as a sticky note stays in front of other windows
        } else {
            show = ShowCommandFor(arg);
        }
    }
    LocalFree(argv);
    g_addressBar = std::make_unique<standin::AddressBar>(history, LogCompletion);
    g_behind = GetForegroundWindow();

    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);

    HWND window = CreateWindowExW(exStyle, kClassName, kTitle, WS_OVERLAPPEDWINDOW, at.x, at.y, 640, 240,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return 3;
    if (g_staysBehind) SetTimer(window, kWatchForeground, 50, nullptr);
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
