// Starts the stand-in browser for an end-to-end test and reads what it saw.
// Windows side of the tests only.
#pragma once

#include <windows.h>

#include <fstream>
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

// How to start the stand-in; StandinLog.h says what each does.
struct Options {
    std::string show = "normal";  // "normal", "maximized" or "minimized"
    std::string exe = OwnFolder() + "standin.exe";
    std::vector<std::string> history;  // in UTF-8, the most recent first
    bool staysBehind = false;
    POINT at = {100, 100};  // the window's top-left corner
    bool topmost = false;   // stays in front of the windows that do not
    int drops = 0;          // the bar loses the drops-th character typed after each click
};

// A history in which the bar completes each of `addresses` at every
// character typed, and also after every wrong letter typed in place of one of
// its characters, as a well-used browser's bar would: each address, and each
// of its beginnings followed by a wrong letter, extended by a path.
inline std::vector<std::string> HistoryAround(const std::vector<std::string>& addresses) {
    const std::string further = "/seen-before";
    std::vector<std::string> history;
    for (const std::string& address : addresses) {
        history.push_back(address + further);
        for (size_t i = 0; i < address.size(); ++i)
            for (char wrong = 'a'; wrong <= 'z'; ++wrong)
                if (wrong != address[i]) history.push_back(address.substr(0, i) + wrong + further);
    }
    return history;
}

class Process {
public:
    explicit Process(const std::string& show = "normal", const std::string& exe = OwnFolder() + "standin.exe")
        : Process(Options{show, exe, {}, false, {100, 100}}) {}

    // Starts the stand-in and waits for it to report that it is ready.
    explicit Process(const Options& options) {
        static int counter = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        logPath_ = std::string(temp) + "standin-" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(++counter) + ".log";
        DeleteFileA(logPath_.c_str());

        std::string command = "\"" + options.exe + "\" \"" + logPath_ + "\" " + options.show + " --at " +
                              std::to_string(options.at.x) + " " + std::to_string(options.at.y);
        if (!options.history.empty()) {
            historyPath_ = logPath_ + ".history";
            std::ofstream history(historyPath_, std::ios::binary | std::ios::trunc);
            for (const std::string& address : options.history) history << address << "\n";
            command += " --history \"" + historyPath_ + "\"";
        }
        if (options.staysBehind) command += " --stays-behind";
        if (options.topmost) command += " --topmost";
        if (options.drops) command += " --drops " + std::to_string(options.drops);
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
        if (!historyPath_.empty()) DeleteFileA(historyPath_.c_str());
    }

    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Ready() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    HWND Bar() const { return bar_; }
    // Every event logged so far. A long session logs much, and tests ask
    // often: each call reads only the lines added since the one before.
    const std::vector<Event>& Events() const {
        ReadLog(logPath_, read_, events_);
        return events_;
    }

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
    std::string historyPath_;
    mutable size_t read_ = 0;
    mutable std::vector<Event> events_;
    PROCESS_INFORMATION info_ = {};
    HWND window_ = nullptr;
    HWND bar_ = nullptr;
};

}  // namespace standin
