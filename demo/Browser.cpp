// A tiny but real web browser for the demonstration: an address bar, the
// page's title in the caption, its text below, and a status line. Enter in the
// bar fetches the address over HTTP with WinHTTP, through the proxy named on
// the command line, so that the demonstration's own server answers for every
// host. It knows nothing of the program that drives it.
//
// The address bar behaves like today's browsers' (tests/standin/AddressBar.h,
// which the end-to-end tests' stand-in browser shares): it completes what is
// typed from the addresses visited so far and leaves the completion selected.
//
// The fetch runs on the window's thread: the one server it talks to is on this
// machine and the timeouts are short, so the window is never unresponsive for
// long, and no second thread has to be kept in step with the window.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "demo/DemoBrowser.h"
#include "demo/HttpFetch.h"
#include "demo/PageText.h"
#include "tests/standin/AddressBar.h"

namespace {

const wchar_t kClassName[] = L"" DEMO_BROWSER_CLASS;
const wchar_t kName[] = L"Demo Browser";
const wchar_t kStartAddress[] = L"about:blank";
const int kMargin = 8;
const int kBarHeight = 24;
const int kStatusHeight = 20;
// Where the browser opens: the left of a 1024 x 768 screen, leaving the right
// for the program that drives it.
const RECT kPlace{8, 8, 748, 752};

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// An edit control breaks lines at CR LF only.
std::wstring WithCrLf(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (wchar_t c : text) {
        if (c == L'\n') out += L'\r';
        out += c;
    }
    return out;
}

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle,
                 int id, HFONT font) {
    HWND child = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                 nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

// With a bar log, the browser writes a line for each time another program
// reads its address bar ("read TEXT", as accessibility clients do) and for
// each address opened ("enter TEXT"), in UTF-8: so that the demonstration can
// tell which addresses were read back before Enter.
class BarLog {
public:
    explicit BarLog(const std::wstring& path) : m_file(path.empty() ? nullptr : _wfopen(path.c_str(), L"ab")) {}
    ~BarLog() {
        if (m_file) fclose(m_file);
    }
    BarLog(const BarLog&) = delete;
    BarLog& operator=(const BarLog&) = delete;
    void Line(const char* kind, const std::wstring& text) {
        if (!m_file) return;
        fprintf(m_file, "%s %s\n", kind, Utf8(text).c_str());
        fflush(m_file);
    }

private:
    FILE* m_file;
};

class Browser {
public:
    Browser(std::wstring proxy, const std::wstring& barLog) : m_proxy(std::move(proxy)), m_barLog(barLog) {}
    ~Browser() {
        if (m_pageFont) DeleteObject(m_pageFont);
    }
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    HWND Create(HINSTANCE instance);
    void Navigate(const std::wstring& typed);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK BarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    static LRESULT CALLBACK PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnBarMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void Layout(int width, int height);
    void Show(const std::wstring& title, const std::wstring& text, const std::wstring& status);

    std::wstring m_proxy;
    BarLog m_barLog;
    HWND m_window = nullptr;
    HWND m_bar = nullptr;
    HWND m_page = nullptr;
    HWND m_status = nullptr;
    HWND m_lastFocus = nullptr;
    HFONT m_pageFont = nullptr;
    standin::AddressBar m_addressBar;
};

HWND Browser::Create(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
    return CreateWindowExW(0, kClassName, kName, WS_OVERLAPPEDWINDOW, kPlace.left, kPlace.top,
                           kPlace.right - kPlace.left, kPlace.bottom - kPlace.top, nullptr, nullptr, instance,
                           this);
}

// What Enter in the bar does: fetch, then show the title and the text, or
// why there is nothing to show.
void Browser::Navigate(const std::wstring& typed) {
    const std::wstring address = Wide(demo::AddressFor(Utf8(typed)));
    if (address.empty()) return;
    SetWindowTextW(m_bar, address.c_str());
    m_addressBar.Visited(address);
    if (demo::IsBlankPage(Utf8(address))) {
        Show(L"", L"", L"");
        return;
    }
    SetWindowTextW(m_status, (L"Loading " + address + L" ...").c_str());
    UpdateWindow(m_status);

    const demo::Fetched fetched = demo::FetchPage(address, m_proxy);
    if (!fetched.ok) {
        Show(L"Problem loading page", fetched.problem + L"\n\n" + address, fetched.problem);
        return;
    }
    const demo::PageText page = demo::TextOfHtml(fetched.body);
    Show(page.title.empty() ? address : Wide(page.title), Wide(page.text),
         L"Done: " + address + L"  (HTTP " + std::to_wstring(fetched.status) + L", " +
             std::to_wstring(fetched.body.size()) + L" bytes)");
    // The page takes the keyboard, as in a browser: the arrow keys and Page
    // Down read it, and the address stays put in the bar.
    SetFocus(m_page);
}

void Browser::Show(const std::wstring& title, const std::wstring& text, const std::wstring& status) {
    const std::wstring caption = title.empty() ? std::wstring(kName) : title + L" - " + kName;
    SetWindowTextW(m_window, caption.c_str());
    SetWindowTextW(m_page, WithCrLf(text).c_str());
    SetWindowTextW(m_status, status.c_str());
}

// Window procedures return to the system: nothing is thrown across them.
LRESULT CALLBACK Browser::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* browser = static_cast<Browser*>(created->lpCreateParams);
        browser->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(browser));
    }
    auto* browser = reinterpret_cast<Browser*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!browser) return DefWindowProcW(window, msg, wParam, lParam);
    try {
        return browser->OnMessage(msg, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, msg, wParam, lParam);
    }
}

LRESULT CALLBACK Browser::BarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    try {
        return reinterpret_cast<Browser*>(self)->OnBarMessage(msg, wParam, lParam);
    } catch (...) {
        return DefSubclassProc(bar, msg, wParam, lParam);
    }
}

// A page is read, not edited: no caret blinks in it.
LRESULT CALLBACK Browser::PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const LRESULT result = DefSubclassProc(page, msg, wParam, lParam);
    if (msg == WM_SETFOCUS) HideCaret(page);
    return result;
}

LRESULT Browser::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        CreateControls();
        return 0;
    case WM_SIZE:
        Layout(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) m_lastFocus = GetFocus();
        break;
    case WM_SETFOCUS:
        // Back where it was when the window was left; the bar at first.
        SetFocus(m_lastFocus && IsChild(m_window, m_lastFocus) ? m_lastFocus : m_bar);
        return 0;
    case WM_MOUSEWHEEL:
        // Wherever the wheel turns over the window (caption, bar, margins), it
        // scrolls the page, as in a browser.
        return SendMessageW(m_page, WM_MOUSEWHEEL, wParam, lParam);
    case WM_CTLCOLORSTATIC:
        // A read-only edit would be grey; a page is white.
        if (reinterpret_cast<HWND>(lParam) == m_page) {
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_DESTROY:
        RemoveWindowSubclass(m_bar, BarProc, 0);
        RemoveWindowSubclass(m_page, PageProc, 0);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(m_window, msg, wParam, lParam);
}

LRESULT Browser::OnBarMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
        m_barLog.Line("enter", standin::TextOf(m_bar));
        Navigate(standin::TextOf(m_bar));
        return 0;
    }
    if (msg == WM_GETTEXT && InSendMessage()) {
        const LRESULT copied = DefSubclassProc(m_bar, msg, wParam, lParam);
        m_barLog.Line("read", std::wstring(reinterpret_cast<const wchar_t*>(lParam), static_cast<size_t>(copied)));
        return copied;
    }
    // A single-line edit would beep at the Enter character.
    if (msg == WM_CHAR && (wParam == L'\r' || wParam == L'\n')) return 0;
    return m_addressBar.Handle(m_bar, msg, wParam, lParam,
                               [&] { return DefSubclassProc(m_bar, msg, wParam, lParam); });
}

void Browser::CreateControls() {
    HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    m_pageFont = CreateFontW(-17, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    m_bar = CreateChild(m_window, L"EDIT", kStartAddress, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                        demo::kBarId, guiFont);
    m_page = CreateChild(m_window, L"EDIT", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                         WS_EX_CLIENTEDGE, demo::kPageId, m_pageFont ? m_pageFont : guiFont);
    m_status = CreateChild(m_window, L"STATIC", L"", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, demo::kStatusId,
                           guiFont);
    SetWindowSubclass(m_bar, BarProc, 0, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(m_page, PageProc, 0, 0);
}

void Browser::Layout(int width, int height) {
    const int inner = width - 2 * kMargin;
    const int pageTop = kMargin + kBarHeight + kMargin / 2;
    const int statusTop = height - kStatusHeight;
    MoveWindow(m_bar, kMargin, kMargin, inner, kBarHeight, TRUE);
    MoveWindow(m_page, kMargin, pageTop, inner, statusTop - pageTop - 2, TRUE);
    MoveWindow(m_status, kMargin, statusTop + 2, inner, kStatusHeight - 4, TRUE);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) {
        MessageBoxW(nullptr, L"Usage: DemoBrowser.exe PROXY-HOST:PORT [ADDRESS [BAR-LOG]]", kName, MB_OK);
        return 2;
    }
    Browser browser(argv[1], argc > 3 ? argv[3] : L"");
    const std::wstring first = argc > 2 ? argv[2] : L"";
    LocalFree(argv);

    HWND window = browser.Create(instance);
    if (!window) return 3;
    ShowWindow(window, show);
    UpdateWindow(window);
    if (!first.empty()) browser.Navigate(first);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
