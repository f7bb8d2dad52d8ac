// The Win32 side of the desktop seam. Each function is a thin wrapper around
// the user32/kernel32 call it names; none reports a platform failure beyond a
// bool where the header asks for one, and no exception leaves this file.
#include "framework/Desktop.h"

#include <windows.h>
#include <imm.h>
#include <oleacc.h>

#include <ctime>
#include <new>
#include <string>
#include <vector>

namespace desktop {

namespace {

HWND ToHwnd(Window w) { return static_cast<HWND>(w); }

Rect FromRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

bool IsDialog(HWND w) {
    char name[16] = {};
    return w && ::GetClassNameA(w, name, sizeof name) > 0 && std::string(name) == "#32770";
}

// A message to another thread's window that is answered within a moment or
// not at all. SMTO_BLOCK: nothing sent to us meanwhile runs, as nothing runs
// during a visit.
bool Ask(HWND window, UINT message, WPARAM wParam, DWORD_PTR& answer) {
    constexpr UINT kAnswerMs = 200;
    return ::SendMessageTimeoutW(window, message, wParam, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs, &answer) != 0;
}

// The mandatory integrity level of a process (SECURITY_MANDATORY_*_RID), read
// from its token.
constexpr DWORD kUnknownLevel = 0xFFFFFFFF;
DWORD IntegrityLevel(HANDLE process) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) return kUnknownLevel;
    struct {
        TOKEN_MANDATORY_LABEL label;
        BYTE sid[SECURITY_MAX_SID_SIZE];
    } answer;
    DWORD size = 0;
    DWORD level = kUnknownLevel;
    if (::GetTokenInformation(token, TokenIntegrityLevel, &answer, sizeof answer, &size)) {
        const PSID sid = answer.label.Label.Sid;
        const UCHAR count = *::GetSidSubAuthorityCount(sid);
        if (count > 0) level = *::GetSidSubAuthority(sid, count - 1u);
    }
    ::CloseHandle(token);
    return level;
}

// The extra information that all of our input carries. The system hands it
// to low-level hooks with every event (KBDLLHOOKSTRUCT, MSLLHOOKSTRUCT), and
// that is how the watch of the user tells our input from the user's; the
// injected flag would not, as another program's injected input (an on-screen
// keyboard, a remote control) is the user's too.
constexpr ULONG_PTR kOurMark = 0x56525556;

INPUT MouseInput(DWORD flags, DWORD data) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.mouseData = data;
    in.mi.dwExtraInfo = kOurMark;
    return in;
}

// --- The watch of the user's input ----------------------------------------------
// Low-level hooks, on a thread of their own that does nothing but take its
// messages: the system calls a low-level hook on the thread that set it,
// before the input goes anywhere, and holds up all input of the desktop
// until it returns, so it must never be set on the dialog's thread, which
// sleeps through every visit.
volatile LONG g_userInputs = 0;
HANDLE g_watchThread = nullptr;
DWORD g_watchThreadId = 0;

LRESULT CALLBACK UserKeys(int code, WPARAM message, LPARAM data) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && key->dwExtraInfo != kOurMark)
        ::InterlockedIncrement(&g_userInputs);
    return ::CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK UserMouse(int code, WPARAM message, LPARAM data) {
    const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    const bool pressOrTurn = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
                             message == WM_XBUTTONDOWN || message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL;
    if (code == HC_ACTION && pressOrTurn && mouse->dwExtraInfo != kOurMark) ::InterlockedIncrement(&g_userInputs);
    return ::CallNextHookEx(nullptr, code, message, data);
}

DWORD WINAPI WatchUserThread(void* started) {
    const HINSTANCE self = ::GetModuleHandleW(nullptr);
    const HHOOK keys = ::SetWindowsHookExW(WH_KEYBOARD_LL, UserKeys, self, 0);
    const HHOOK mouse = ::SetWindowsHookExW(WH_MOUSE_LL, UserMouse, self, 0);
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue that WM_QUIT comes to
    ::SetEvent(static_cast<HANDLE>(started));
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    }
    if (keys) ::UnhookWindowsHookEx(keys);
    if (mouse) ::UnhookWindowsHookEx(mouse);
    return 0;
}

// --- The accessibility of another program's element ---------------------------
// One question to accessibility, shared by the thread that asks it and ours,
// and freed by whichever of the two lets go of it last: we may stop waiting
// for an answer that never comes.
struct AccessibleQuestion {
    volatile LONG holders = 2;
    POINT at = {};
    AccessibleText answer;
};

void LetGo(AccessibleQuestion* question) {
    if (::InterlockedDecrement(&question->holders) == 0) delete question;
}

// Reads what the element says of itself; oleacc's proxies answer for the
// standard controls, browsers answer for their own.
void AskElementAt(const POINT& at, AccessibleText& answer) {
    IAccessible* element = nullptr;
    VARIANT child;
    ::VariantInit(&child);
    if (FAILED(::AccessibleObjectFromPoint(at, &element, &child)) || !element) return;
    answer.answered = true;
    VARIANT role, state;
    ::VariantInit(&role);
    ::VariantInit(&state);
    constexpr LONG kNotTyped = STATE_SYSTEM_READONLY | STATE_SYSTEM_PROTECTED | STATE_SYSTEM_UNAVAILABLE;
    answer.editable = SUCCEEDED(element->get_accRole(child, &role)) && role.vt == VT_I4 &&
                      role.lVal == ROLE_SYSTEM_TEXT && SUCCEEDED(element->get_accState(child, &state)) &&
                      state.vt == VT_I4 && (state.lVal & kNotTyped) == 0;
    BSTR value = nullptr;
    if (SUCCEEDED(element->get_accValue(child, &value)) && value) {
        answer.hasValue = true;
        answer.value.assign(reinterpret_cast<const char16_t*>(value), ::SysStringLen(value));
        ::SysFreeString(value);
    }
    ::VariantClear(&role);
    ::VariantClear(&state);
    ::VariantClear(&child);
    element->Release();
}

DWORD WINAPI AskOnItsOwnThread(void* parameter) {
    auto* question = static_cast<AccessibleQuestion*>(parameter);
    if (SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        try {
            AskElementAt(question->at, question->answer);
        } catch (...) {
            question->answer = AccessibleText();
        }
        ::CoUninitialize();
    }
    LetGo(question);
    return 0;
}

HANDLE g_questionOut = nullptr;  // a question whose answer we stopped waiting for

}  // namespace

// --- Cursor and synthetic input -------------------------------------------

Point GetCursorPos() {
    POINT p = {};
    ::GetCursorPos(&p);
    return Point{p.x, p.y};
}

void SetCursorPos(Point p) { ::SetCursorPos(p.x, p.y); }

size_t SendKeys(const KeyStroke* strokes, size_t count) {
    INPUT in[16] = {};
    if (count > 16) return 0;
    for (size_t i = 0; i < count; ++i) {
        // Scan code 0 with a virtual key: the receiving window sees the
        // virtual key, which is all an edit control or a browser's address bar
        // acts on. The extended flag makes Home, End and Delete the dedicated
        // keys rather than their keypad twins, whatever the state of Num Lock.
        KEYBDINPUT& key = in[i].ki;
        in[i].type = INPUT_KEYBOARD;
        key.wVk = strokes[i].vk;
        key.wScan = strokes[i].vk ? 0 : static_cast<WORD>(strokes[i].unit);
        key.dwFlags = (strokes[i].up ? KEYEVENTF_KEYUP : 0) | (strokes[i].extended ? KEYEVENTF_EXTENDEDKEY : 0) |
                      (strokes[i].vk ? 0 : KEYEVENTF_UNICODE);
        key.dwExtraInfo = kOurMark;
    }
    return ::SendInput(static_cast<UINT>(count), in, sizeof(INPUT));
}

bool SendClick() {
    INPUT in[] = {MouseInput(MOUSEEVENTF_LEFTDOWN, 0), MouseInput(MOUSEEVENTF_LEFTUP, 0)};
    return ::SendInput(2, in, sizeof(INPUT)) == 2;
}

void SendWheel(int32_t delta) {
    // The wheel data travels as a DWORD; a turn towards the user is the
    // two's-complement negative, which is what the platform expects.
    INPUT in = MouseInput(MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta));
    ::SendInput(1, &in, sizeof in);
}

// --- The user's own input ------------------------------------------------------

void WatchUser(bool on) {
    if (g_watchThread) {
        ::PostThreadMessageW(g_watchThreadId, WM_QUIT, 0, 0);
        ::WaitForSingleObject(g_watchThread, 1000);
        ::CloseHandle(g_watchThread);
        g_watchThread = nullptr;
    }
    ::InterlockedExchange(&g_userInputs, 0);
    if (!on) return;
    const HANDLE started = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!started) return;
    g_watchThread = ::CreateThread(nullptr, 0, WatchUserThread, started, 0, &g_watchThreadId);
    if (g_watchThread) ::WaitForSingleObject(started, 1000);
    ::CloseHandle(started);
}

uint32_t UserInputs() { return static_cast<uint32_t>(::InterlockedCompareExchange(&g_userInputs, 0, 0)); }

bool ModifierHeld() {
    for (const int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN})
        if (::GetAsyncKeyState(key) & 0x8000) return true;
    return false;
}

// --- Keyboard layouts and text ---------------------------------------------------

KeyboardLayout LayoutOfWindow(Window w) {
    const DWORD thread = w ? ::GetWindowThreadProcessId(ToHwnd(w), nullptr) : 0;
    HKL layout = thread ? ::GetKeyboardLayout(thread) : nullptr;
    // A thread without a layout of its own (a console's) types with ours.
    return layout ? layout : ::GetKeyboardLayout(0);
}

int16_t KeyForChar(char16_t c, KeyboardLayout layout) {
    return ::VkKeyScanExW(static_cast<WCHAR>(c), static_cast<HKL>(layout));
}

KeyMeaning CharOfKey(uint8_t vk, uint8_t shiftState, bool capsLock, KeyboardLayout layout) {
    const HKL hkl = static_cast<HKL>(layout);
    BYTE keys[256] = {};
    if (shiftState & 1) keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    if (shiftState & 2) keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    if (shiftState & 4) keys[VK_MENU] = keys[VK_LMENU] = 0x80;
    if (capsLock) keys[VK_CAPITAL] = 0x01;
    // Flag 4: leave this thread's dead-key state alone (Windows 10 1607 on).
    constexpr UINT kKeepState = 4;
    WCHAR out[8] = {};
    const UINT scan = ::MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, hkl);
    const int n = ::ToUnicodeEx(vk, scan, keys, out, 8, kKeepState, hkl);
    if (n < 0) {
        // Earlier systems keep the dead key pending in this thread; a space
        // takes it out, so that our own dialog's next key is not combined.
        BYTE none[256] = {};
        WCHAR ignored[8] = {};
        ::ToUnicodeEx(VK_SPACE, ::MapVirtualKeyExW(VK_SPACE, MAPVK_VK_TO_VSC, hkl), none, ignored, 8, kKeepState,
                      hkl);
        return KeyMeaning{static_cast<char16_t>(out[0]), true};
    }
    return n == 1 ? KeyMeaning{static_cast<char16_t>(out[0]), false} : KeyMeaning{};
}

bool CapsLockOf(Window w) {
    // Sharing the input of the window's thread for a moment, this thread reads
    // the key state that the window's keys are made with. Attaching may reset
    // that state, the window's own included (Wine clears it): then it reads
    // as reset here and there alike, and the keys that follow agree with it.
    // Not with a thread that hangs: attached, we would wait with it.
    const DWORD self = ::GetCurrentThreadId();
    const DWORD thread = ::GetWindowThreadProcessId(ToHwnd(w), nullptr);
    const bool attached = thread != 0 && thread != self && !IsHungWindow(w) && ::AttachThreadInput(self, thread, TRUE);
    const bool on = (::GetKeyState(VK_CAPITAL) & 1) != 0;
    if (attached) ::AttachThreadInput(self, thread, FALSE);
    return on;
}

bool InputMethodComposes(Window w) {
    // imm.h leaves out the requests of WM_IME_CONTROL that ask an input method
    // window for its state; these are their values.
    constexpr WPARAM kImcGetConversionMode = 0x0001;
    constexpr WPARAM kImcGetOpenStatus = 0x0005;
    HWND target = ToHwnd(w);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(target, nullptr), &info) && info.hwndFocus)
        target = info.hwndFocus;
    const HWND ime = ::ImmGetDefaultIMEWnd(target);
    DWORD_PTR open = 0;
    DWORD_PTR mode = 0;
    return ime && Ask(ime, WM_IME_CONTROL, kImcGetOpenStatus, open) && open != 0 &&
           Ask(ime, WM_IME_CONTROL, kImcGetConversionMode, mode) && (mode & IME_CMODE_NATIVE) != 0;
}

bool LayoutComposes(KeyboardLayout layout) {
    const HKL hkl = static_cast<HKL>(layout);
    const WORD language = PRIMARYLANGID(LOWORD(reinterpret_cast<UINT_PTR>(hkl)));
    return language == LANG_CHINESE || language == LANG_JAPANESE || language == LANG_KOREAN ||
           ::ImmIsIME(hkl) != FALSE;
}

bool RunsAboveUs(Window w) {
    DWORD id = 0;
    ::GetWindowThreadProcessId(ToHwnd(w), &id);
    if (id == ::GetCurrentProcessId()) return false;
    const HANDLE process = id ? ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id) : nullptr;
    if (!process) return true;
    const DWORD theirs = IntegrityLevel(process);
    ::CloseHandle(process);
    const DWORD ours = IntegrityLevel(::GetCurrentProcess());
    return theirs == kUnknownLevel || ours == kUnknownLevel || theirs > ours;
}

bool IsOwnWindow(Window w) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(ToHwnd(w), &process);
    return process != 0 && process == ::GetCurrentProcessId();
}

bool IsShellWindow(Window w) {
    const HWND window = ToHwnd(w);
    const HWND shell = ::GetShellWindow();
    if (window == shell || window == ::GetDesktopWindow()) return true;
    char name[32] = {};
    if (::GetClassNameA(window, name, sizeof name) > 0) {
        for (const char* desktopOrTaskbar : {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"})
            if (std::string(name) == desktopOrTaskbar) return true;
    }
    // By the program, not the process: folder windows may run in a process of
    // their own.
    const std::string shellProgram = shell ? ProgramOf(shell) : std::string();
    return !shellProgram.empty() && ::lstrcmpiA(ProgramOf(w).c_str(), shellProgram.c_str()) == 0;
}

std::string ProgramOf(Window w) {
    DWORD id = 0;
    ::GetWindowThreadProcessId(ToHwnd(w), &id);
    const HANDLE process = id ? ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id) : nullptr;
    if (!process) return std::string();
    // Long enough for any path the system gives, \\?\ prefix and all.
    WCHAR path[MAX_PATH * 4] = {};
    DWORD length = sizeof path / sizeof path[0];
    const bool read = ::QueryFullProcessImageNameW(process, 0, path, &length) != FALSE;
    ::CloseHandle(process);
    if (!read) return std::string();
    const WCHAR* name = path;
    for (const WCHAR* c = path; *c; ++c)
        if (*c == L'\\' || *c == L'/') name = c + 1;
    char utf8[MAX_PATH * 3] = {};
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, sizeof utf8, nullptr, nullptr);
    return bytes > 1 ? std::string(utf8, static_cast<size_t>(bytes - 1)) : std::string();
}

std::u16string AnsiToUtf16(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return std::u16string();
    const int length = static_cast<int>(bytes.size());
    const int units = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (units <= 0) return std::u16string();
    try {
        std::vector<wchar_t> out(static_cast<size_t>(units));
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, out.data(), units);
        return std::u16string(out.begin(), out.end());
    } catch (...) {
        return std::u16string();
    }
}

// --- What another program's element says of itself -------------------------

AccessibleText ReadAccessibleAt(Point p, uint32_t deadlineMs) {
    if (g_questionOut) {
        if (::WaitForSingleObject(g_questionOut, 0) == WAIT_TIMEOUT) return AccessibleText();
        ::CloseHandle(g_questionOut);
        g_questionOut = nullptr;
    }
    auto* question = new (std::nothrow) AccessibleQuestion;
    if (!question) return AccessibleText();
    question->at = POINT{p.x, p.y};
    const HANDLE thread = ::CreateThread(nullptr, 0, AskOnItsOwnThread, question, 0, nullptr);
    if (!thread) {
        delete question;
        return AccessibleText();
    }
    AccessibleText answer;
    if (::WaitForSingleObject(thread, deadlineMs) == WAIT_OBJECT_0) {
        try {
            answer = question->answer;
        } catch (...) {
            answer = AccessibleText();
        }
        ::CloseHandle(thread);
    } else {
        g_questionOut = thread;
    }
    LetGo(question);
    return answer;
}

// --- Time ------------------------------------------------------------------

void Sleep(uint32_t ms) { ::Sleep(ms); }

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

// --- Windows of any process --------------------------------------------------

Window GetForegroundWindow() { return ::GetForegroundWindow(); }

bool SetForegroundWindow(Window w) { return ::SetForegroundWindow(ToHwnd(w)) != FALSE; }

uint32_t CurrentThreadId() { return ::GetCurrentThreadId(); }

uint32_t WindowThreadId(Window w) { return ::GetWindowThreadProcessId(ToHwnd(w), nullptr); }

bool AttachThreadInput(uint32_t from, uint32_t to, bool attach) {
    return ::AttachThreadInput(from, to, attach ? TRUE : FALSE) != FALSE;
}

bool IsMinimized(Window w) { return ::IsIconic(ToHwnd(w)) != FALSE; }

void RestoreWindow(Window w) { ::ShowWindowAsync(ToHwnd(w), SW_RESTORE); }

// --- Windows whose thread may hang ---------------------------------------------

bool IsHungWindow(Window w) {
    const HWND window = ToHwnd(w);
    // Our own thread answers whenever it asks.
    if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) return false;
    if (::IsHungAppWindow(window)) return true;
    // IsHungAppWindow tells only after seconds of silence.
    DWORD_PTR ignored = 0;
    return !Ask(window, WM_NULL, 0, ignored);
}

Window WindowFromPoint(Point p) { return ::WindowFromPoint(POINT{p.x, p.y}); }

Window ParentOf(Window w) { return ::GetParent(ToHwnd(w)); }

Window OwnerOf(Window w) { return ::GetWindow(ToHwnd(w), GW_OWNER); }

bool IsChildWindow(Window w) {
    return (::GetWindowLongPtrA(ToHwnd(w), GWL_STYLE) & WS_CHILD) != 0;
}

bool GetWindowRect(Window w, Rect& out) {
    RECT r = {};
    if (!::GetWindowRect(ToHwnd(w), &r)) return false;
    out = FromRect(r);
    return true;
}

Rect VirtualScreen() {
    int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return Rect{x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

Rect CursorClip() {
    RECT r = {};
    ::GetClipCursor(&r);
    return FromRect(r);
}

// --- Files -------------------------------------------------------------------

namespace {

// A file that another program holds open (a virus scanner, the indexer, a
// synchronising client) refuses a writer or a rename for a moment, as a
// sharing violation or a denied access.
FileResult FailureOf(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED
               ? FileResult::kBusy
               : FileResult::kFailed;
}

}  // namespace

// Write-through, so that the new content is on the disk before the old name
// points at it.
FileResult RenameReplacing(const std::string& from, const std::string& to) {
    // A read-only file is the user's way of saying "keep this as it is".
    // Windows refuses to replace one; not every implementation of MoveFileEx
    // does, so ask first.
    const DWORD attributes = ::GetFileAttributesA(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return FileResult::kFailed;
    if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return FileResult::kDone;
    return FailureOf(::GetLastError());
}

FileResult WriteFileDurably(const std::string& path, const std::string& data) {
    const HANDLE file =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FailureOf(::GetLastError());
    // Beyond 4 GB the count would be cut short, and so would what is written.
    DWORD written = 0;
    const bool durable = ::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
                         written == data.size() && ::FlushFileBuffers(file);
    return ::CloseHandle(file) && durable ? FileResult::kDone : FileResult::kFailed;
}

bool FileMissing(const std::string& path) {
    if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

// --- Our own dialogs and their controls ---------------------------------------

Window DialogItem(Window dialog, int id) { return ::GetDlgItem(ToHwnd(dialog), id); }

void SetText(Window w, const std::string& text) { ::SetWindowTextA(ToHwnd(w), text.c_str()); }

std::string GetText(Window w) {
    try {
        int length = ::GetWindowTextLengthA(ToHwnd(w));
        if (length <= 0) return std::string();
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        int copied = ::GetWindowTextA(ToHwnd(w), buffer.data(), length + 1);
        return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
    } catch (...) {
        return std::string();
    }
}

void Show(Window w, bool visible) { ::ShowWindow(ToHwnd(w), visible ? SW_SHOW : SW_HIDE); }


void Focus(Window w) {
    // A control of a dialog gets the focus through its dialog, which then also
    // moves the default-button highlight and remembers the control for when
    // the dialog is activated again; a bare SetFocus would leave both stale.
    HWND control = ToHwnd(w);
    HWND parent = ::GetParent(control);
    if (IsDialog(parent))
        ::SendMessageA(parent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    else
        ::SetFocus(control);
}

void SelectAllText(Window edit) { ::SendMessageA(ToHwnd(edit), EM_SETSEL, 0, -1); }

void RepaintNow(Window w) {
    // The caller is in the middle of a blocking wait, so WM_PAINT would not be
    // dispatched until it ends; paint synchronously instead.
    ::RedrawWindow(ToHwnd(w), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void SetTimer(Window w, uintptr_t id, uint32_t ms) { ::SetTimer(ToHwnd(w), id, ms, nullptr); }

void KillTimer(Window w, uintptr_t id) { ::KillTimer(ToHwnd(w), id); }

int ShowMessageBox(Window owner, const std::string& text, const std::string& caption, uint32_t flags) {
    return ::MessageBoxA(ToHwnd(owner), text.c_str(), caption.c_str(), flags);
}

std::string AppName() {
    try {
        // The path may be longer than MAX_PATH; grow until it fits.
        std::vector<char> path(MAX_PATH);
        for (;;) {
            DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (n == 0) return std::string();
            if (n < path.size()) {
                path.resize(n);
                break;
            }
            path.resize(path.size() * 2);
        }
        std::string name(path.begin(), path.end());
        size_t slash = name.find_last_of("\\/");
        if (slash != std::string::npos) name.erase(0, slash + 1);
        size_t dot = name.find_last_of('.');
        if (dot != std::string::npos && dot > 0) name.erase(dot);
        return name;
    } catch (...) {
        return std::string();
    }
}

std::string LoadText(uint32_t id) {
    char text[512] = "";
    const int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace desktop
