#include "tests/e2e/UserInput.h"

#include <vector>

#include "tests/e2e/Harness.h"

namespace e2e {

namespace {

bool IsExtendedKey(WORD key) {
    switch (key) {
        case VK_HOME: case VK_END: case VK_DELETE: case VK_INSERT: case VK_PRIOR: case VK_NEXT:
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
            return true;
        default:
            return false;
    }
}

INPUT KeyInput(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (down ? 0 : KEYEVENTF_KEYUP) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void Send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT MouseInput(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

// Absolute mouse coordinates run from 0 to 65535 across the virtual screen;
// aim at the middle of the wanted pixel.
LONG Normalised(LONG value, int origin, int extent) {
    return static_cast<LONG>(((value - origin) * 65536LL + 32768) / extent);
}

}  // namespace

POINT CursorNow() {
    POINT at{};
    GetCursorPos(&at);
    return at;
}

bool Same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

std::string ToString(POINT p) { return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")"; }

bool PutCursor(POINT at) {
    return WaitUntil([at] {
        SetCursorPos(at.x, at.y);
        return Same(CursorNow(), at);
    });
}

bool BringToFront(HWND window) {
    if (GetForegroundWindow() == window) return true;
    // Windows lets a process take the foreground only in certain cases; sharing
    // the input state of the current foreground thread is one of them.
    const DWORD self = GetCurrentThreadId();
    HWND current = GetForegroundWindow();
    const DWORD other = current ? GetWindowThreadProcessId(current, nullptr) : 0;
    const bool attached = other && other != self && AttachThreadInput(self, other, TRUE);
    SetForegroundWindow(window);
    if (attached) AttachThreadInput(self, other, FALSE);
    return WaitUntil([window] { return GetForegroundWindow() == window; }, Millis(10000));
}

void MoveMouseTo(POINT at) {
    INPUT move = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK);
    move.mi.dx = Normalised(at.x, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN));
    move.mi.dy = Normalised(at.y, GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    Send({move});
    WaitUntil([at] { return Same(CursorNow(), at); }, Millis(2000));
}

void ClickAt(POINT at) {
    MoveMouseTo(at);
    Send({MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)});
}

void PressKey(WORD virtualKey) {
    Send({KeyInput(virtualKey, true), KeyInput(virtualKey, false)});
}

void PressChord(std::initializer_list<WORD> virtualKeys) {
    std::vector<INPUT> inputs;
    for (WORD key : virtualKeys) inputs.push_back(KeyInput(key, true));
    for (auto key = std::rbegin(virtualKeys); key != std::rend(virtualKeys); ++key)
        inputs.push_back(KeyInput(*key, false));
    Send(inputs);
}

void TypeText(const std::string& text) {
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        const WORD key = LOBYTE(scan);
        if (HIBYTE(scan) & 1)
            PressChord({VK_SHIFT, key});
        else
            PressKey(key);
    }
}

bool PressKeyOnTheDisplay(HWND window, const std::string& key) {
    // Wine keeps the X window of each of its top-level windows in this property.
    const auto xWindow = reinterpret_cast<uintptr_t>(GetPropA(window, "__wine_x11_whole_window"));
    if (!xWindow) return false;
    // Wine runs a program of the host for a path to one, but gives no handle
    // that could be waited on: the key comes a moment after this returns.
    std::string command = "/usr/bin/xdotool windowfocus " + std::to_string(xWindow) + " key " + key;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    return true;
}

bool FocusOn(HWND dialog, int id) {
    HWND control = ControlOf(dialog, id);
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    return WaitUntil([&] { return FocusIn(dialog) == control; });
}

bool TypeInto(HWND dialog, int id, const std::string& text) {
    if (!FocusOn(dialog, id)) return false;
    TypeText(text);
    return Becomes(ControlOf(dialog, id), text);
}

}  // namespace e2e
