#include "tests/e2e/RemoteTools.h"

#include <commctrl.h>
#include <psapi.h>

#include <cwchar>
#include <iterator>

namespace e2e {

namespace {

constexpr size_t kTextSize = 512;
constexpr UINT kAnswerTimeoutMs = 2000;
constexpr DWORD kRemoteThreadMs = 30000;

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

// Runs `start` in `process` on a new thread and waits for its end.
std::string RunThread(HANDLE process, FARPROC start, void* argument) {
    // Through void*: a thread procedure's type is not that of FARPROC.
    const auto procedure = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(start));
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, procedure, argument, 0, nullptr);
    if (!thread) return "cannot start a thread in the process (error " + std::to_string(GetLastError()) + ")";
    const bool ended = WaitForSingleObject(thread, kRemoteThreadMs) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended ? "" : "its thread did not end in time";
}

// Where `process` has loaded the module whose file name `path` ends in; null when it has not.
char* ModuleIn(HANDLE process, const std::wstring& path) {
    const wchar_t* fileName = std::wcsrchr(path.c_str(), L'\\');
    fileName = fileName ? fileName + 1 : path.c_str();
    HMODULE modules[1024];
    DWORD bytes = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) return nullptr;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < std::size(modules); ++i) {
        wchar_t name[MAX_PATH] = L"";
        if (GetModuleBaseNameW(process, modules[i], name, MAX_PATH) && _wcsicmp(name, fileName) == 0)
            return reinterpret_cast<char*>(modules[i]);
    }
    return nullptr;
}

}  // namespace

RemoteBuffer::RemoteBuffer(HANDLE process, size_t size)
    : m_process(process),
      m_address(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}

RemoteBuffer::~RemoteBuffer() {
    if (m_address) VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
}

bool RemoteBuffer::Write(const void* bytes, size_t size, size_t offset) const {
    SIZE_T written = 0;
    return m_address && WriteProcessMemory(m_process, Address() + offset, bytes, size, &written) && written == size;
}

bool RemoteBuffer::Read(void* bytes, size_t size, size_t offset) const {
    SIZE_T read = 0;
    return m_address && ReadProcessMemory(m_process, Address() + offset, bytes, size, &read) && read == size;
}

std::vector<Tool> ToolsOf(HWND toolTip, HANDLE process) {
    std::vector<Tool> tools;
    // The structure first, its text buffer right behind it.
    RemoteBuffer remote(process, sizeof(TOOLINFOA) + kTextSize);
    if (!remote.Address()) return tools;
    const int count = static_cast<int>(Ask(toolTip, TTM_GETTOOLCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        TOOLINFOA info{};
        info.cbSize = sizeof info;
        info.lpszText = remote.Address() + sizeof info;
        const char noText[1] = "";
        remote.Write(&info, sizeof info);
        remote.Write(noText, sizeof noText, sizeof info);
        if (!Ask(toolTip, TTM_ENUMTOOLSA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.Address())))
            break;
        remote.Read(&info, sizeof info);
        // TTM_ENUMTOOLS fills the text in only in some versions of the control;
        // TTM_GETTEXT, given the buffer's size, does in all.
        info.lpszText = remote.Address() + sizeof info;
        remote.Write(&info, sizeof info);
        Ask(toolTip, TTM_GETTEXTA, kTextSize, reinterpret_cast<LPARAM>(remote.Address()));
        char text[kTextSize] = "";
        remote.Read(text, sizeof text - 1, sizeof info);
        tools.push_back({info.uFlags, info.hwnd, info.uId, text});
    }
    return tools;
}

std::string RunInProcess(HANDLE process, const std::wstring& dll, const char* entry, void* argument) {
    // The library's entry lies as far into its module there as here.
    HMODULE here = LoadLibraryW(dll.c_str());
    FARPROC entryHere = here ? GetProcAddress(here, entry) : nullptr;
    if (!entryHere) return "cannot load " + std::string(dll.begin(), dll.end()) + " or find its " + entry;
    // LoadLibraryW is a thread procedure of the right shape, at the same address in
    // every process (the system's libraries are mapped alike in all).
    const size_t bytes = (dll.size() + 1) * sizeof(wchar_t);
    RemoteBuffer path(process, bytes);
    if (!path.Write(dll.c_str(), bytes)) return "cannot write into the process";
    std::string error = RunThread(process, GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW"), path.Address());
    char* there = ModuleIn(process, dll);
    if (error.empty() && !there) error = "the process did not load the library";
    if (!error.empty()) return error;
    const auto offset = reinterpret_cast<char*>(reinterpret_cast<void*>(entryHere)) - reinterpret_cast<char*>(here);
    return RunThread(process, reinterpret_cast<FARPROC>(reinterpret_cast<void*>(there + offset)), argument);
}

}  // namespace e2e
