#include "tests/e2e/Harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <sstream>

namespace e2e {

namespace {

constexpr int kSplashBitmapId = 1030;

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId) search->found.push_back(window);
    return TRUE;
}

// A process's top-level windows in z-order.
std::vector<HWND> WindowsOfProcess(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsDialog(HWND window) {
    return ClassOf(window) == "#32770";
}

std::string LastErrorText() {
    const DWORD code = GetLastError();
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                   nullptr);
    std::ostringstream out;
    out << "error " << code << ": " << text;
    return out.str();
}

}  // namespace

std::string WindowsPath(std::string path) {
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string ProgramPath() {
    const char* fromEnvironment = std::getenv("VERUVO_EXE");
    return WindowsPath(fromEnvironment && *fromEnvironment ? fromEnvironment : VERUVO_EXE_BUILT);
}

std::wstring TextProbePath() {
    const char* fromEnvironment = std::getenv("VERUVO_TEXT_PROBE");
    if (fromEnvironment && *fromEnvironment) {
        const std::string path = WindowsPath(fromEnvironment);
        return std::wstring(path.begin(), path.end());
    }
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (wchar_t* name = std::wcsrchr(path, L'\\')) *(name + 1) = L'\0';
    return std::wstring(path) + L"TextProbe.dll";
}

std::string OptionsFileOf(const RECT& bar) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "bottom_boundary=%ld\r\nleft_boundary=%ld\r\nright_boundary=%ld\r\ntop_boundary=%ld\r\n",
                  static_cast<long>(bar.bottom), static_cast<long>(bar.left), static_cast<long>(bar.right),
                  static_cast<long>(bar.top));
    return text;
}

std::string Corner(POINT p) {
    char text[64];
    std::snprintf(text, sizeof text, "( %ld, %ld )", static_cast<long>(p.x), static_cast<long>(p.y));
    return text;
}

Program::Program(const std::string& workingFolder, const std::string& exe) {
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    m_startTime = Clock::now();
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.c_str(), &startup, &m_process)) {
        m_process = {};
        m_startError = "cannot start " + exe + " in " + workingFolder + ": " + LastErrorText();
    }
}

Program::~Program() {
    Terminate();
    if (m_process.hThread) CloseHandle(m_process.hThread);
    if (m_process.hProcess) CloseHandle(m_process.hProcess);
}

bool Program::HasExited() const {
    return !Started() || WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0;
}

bool Program::WaitForExit(Millis timeout) const {
    return WaitUntil([this] { return HasExited(); }, timeout);
}

void Program::Terminate() {
    if (HasExited()) return;
    TerminateProcess(m_process.hProcess, 1);
    WaitForSingleObject(m_process.hProcess, 10000);
}

std::vector<HWND> Program::Windows() const {
    return Started() ? WindowsOfProcess(m_process.dwProcessId) : std::vector<HWND>();
}

HWND Program::Splash() const {
    for (HWND window : Windows()) {
        if (!IsDialog(window) || !IsWindowVisible(window) || !StoredTextOf(window).empty()) continue;
        HWND picture = ControlOf(window, kSplashBitmapId);
        if (picture && ClassOf(picture) == "Static") return window;
    }
    return nullptr;
}

HWND Program::MainDialog() const {
    for (HWND window : Windows())
        if (IsDialog(window) && StoredTextOf(window) == kMainCaption) return window;
    return nullptr;
}

HWND Program::MessageBox() const {
    HWND main = MainDialog();
    for (HWND window : Windows())
        if (window != main && IsDialog(window) && IsWindowVisible(window) && BoxTextOf(window)) return window;
    return nullptr;
}

HWND Program::ToolTipOf(HWND owner) const {
    for (HWND window : Windows())
        if (ClassOf(window) == "tooltips_class32" && GetWindow(window, GW_OWNER) == owner) return window;
    return nullptr;
}

HWND Program::WaitForSplash(Millis timeout) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = Splash()) != nullptr || HasExited(); }, timeout);
    return found;
}

HWND Program::WaitForMainDialog(Millis timeout) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = MainDialog();
            return (found && IsWindowVisible(found)) || HasExited();
        },
        timeout);
    return found && IsWindowVisible(found) ? found : nullptr;
}

HWND Program::WaitForMessageBox(Millis timeout) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = MessageBox()) != nullptr || HasExited(); }, timeout);
    return found;
}

std::string Program::Describe() const {
    std::ostringstream out;
    out << "process " << Id() << (HasExited() ? " (ended)" : " (running)") << ", windows:";
    HWND main = MainDialog();
    for (HWND window : Windows()) {
        out << "\n  " << ClassOf(window) << " \"" << StoredTextOf(window) << "\""
            << (IsWindowVisible(window) ? " visible" : " hidden");
        HWND text = window != main && IsDialog(window) ? BoxTextOf(window) : nullptr;
        if (text) out << " saying \"" << TextOf(text) << "\"";
    }
    return out.str();
}

HWND TakeTheMouse(const Program& program, Millis timeout) {
    HWND box = nullptr;
    int step = 0;
    WaitUntil(
        [&] {
            box = program.MessageBox();
            if (box) return true;
            const LONG dx = (++step % 2) ? 60 : -60;
            SetCursorPos(kRestingPlace.x + dx, kRestingPlace.y - 10 * (step % 5));
            Sleep(50);
            return false;
        },
        timeout);
    SetCursorPos(kRestingPlace.x, kRestingPlace.y);
    return box;
}

}  // namespace e2e
