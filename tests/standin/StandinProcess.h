// Starts the stand-in browser for an end-to-end test and reads what it saw.
// Windows side of the tests only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/Wait.h"
#include "tests/standin/StandinLog.h"

namespace standin {

// The folder of the running executable, with its trailing backslash.
inline std::string OwnFolder() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

class Process {
public:
    // Starts standin.exe from the folder of the running executable, shown as
    // `show` says ("normal", "maximized" or "minimized"), and waits for it to
    // report that it is ready.
    explicit Process(const std::string& show = "normal", const std::string& exe = OwnFolder() + "standin.exe") {
        static int counter = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        logPath_ = std::string(temp) + "standin-" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(++counter) + ".log";
        DeleteFileA(logPath_.c_str());

        std::string command = "\"" + exe + "\" \"" + logPath_ + "\" " + show;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_))
            return;
        e2e::WaitUntil([this] {
            for (const auto& e : Events())
                if (e.kind == Kind::Ready) {
                    window_ = reinterpret_cast<HWND>(static_cast<intptr_t>(e.Value(0)));
                    bar_ = reinterpret_cast<HWND>(static_cast<intptr_t>(e.Value(1)));
                    return true;
                }
            return false;
        });
    }

    // Ends the stand-in by its handle. Its log loses nothing, being flushed
    // line by line, and closing its window instead would cost two seconds
    // under Wine without a window manager, which waits that long for the
    // window to be withdrawn.
    ~Process() {
        if (info_.hProcess) {
            TerminateProcess(info_.hProcess, 0);
            WaitForSingleObject(info_.hProcess, 5000);
            CloseHandle(info_.hProcess);
            CloseHandle(info_.hThread);
        }
        DeleteFileA(logPath_.c_str());
    }

    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Ready() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    HWND Bar() const { return bar_; }
    std::vector<Event> Events() const { return ReadLog(logPath_); }

    // Waits until the log holds an event for which `match` holds.
    bool WaitForEvent(const std::function<bool(const Event&)>& match, e2e::Millis timeout = e2e::kPatience) const {
        return e2e::WaitUntil(
            [&] {
                for (const auto& e : Events())
                    if (match(e)) return true;
                return false;
            },
            timeout);
    }
    bool WaitForKind(Kind kind, e2e::Millis timeout = e2e::kPatience) const {
        return WaitForEvent([kind](const Event& e) { return e.kind == kind; }, timeout);
    }

    // The window that has the keyboard focus in the stand-in's thread.
    HWND FocusedWindow() const {
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        DWORD thread = GetWindowThreadProcessId(window_, nullptr);
        return GetGUIThreadInfo(thread, &gui) ? gui.hwndFocus : nullptr;
    }

    // Replaces the bar's text and puts the caret at `caret`. Synchronous.
    void SetBarText(const std::string& text, int caret = 0) const {
        SendMessageA(bar_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(bar_, EM_SETSEL, caret, caret);
    }

    // Makes the stand-in the foreground window with the keyboard focus in its
    // bar, and waits until both are so.
    bool PutInFrontWithBarFocused() const {
        ::SetForegroundWindow(window_);
        PostMessageA(window_, kRequestFocusBar, 0, 0);
        return e2e::WaitUntil([this] { return ::GetForegroundWindow() == window_ && FocusedWindow() == bar_; });
    }

    bool Placement(WINDOWPLACEMENT& wp) const {
        wp = WINDOWPLACEMENT{};
        wp.length = sizeof wp;
        return GetWindowPlacement(window_, &wp) != FALSE;
    }

private:
    std::string logPath_;
    PROCESS_INFORMATION info_ = {};
    HWND window_ = nullptr;
    HWND bar_ = nullptr;
};

}  // namespace standin
