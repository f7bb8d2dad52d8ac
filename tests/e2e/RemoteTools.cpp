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

// Where `process` has loaded the module whose file name `path` ends in; null when
// it has not. A 32-bit program's own modules are listed too when this is 64-bit.
char* ModuleIn(HANDLE process, const std::wstring& path) {
    const wchar_t* fileName = std::wcsrchr(path.c_str(), L'\\');
    fileName = fileName ? fileName + 1 : path.c_str();
    HMODULE modules[1024];
    DWORD bytes = 0;
    if (!EnumProcessModulesEx(process, modules, sizeof modules, &bytes, LIST_MODULES_ALL)) return nullptr;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < std::size(modules); ++i) {
        wchar_t name[MAX_PATH] = L"";
        if (GetModuleBaseNameW(process, modules[i], name, MAX_PATH) && _wcsicmp(name, fileName) == 0)
            return reinterpret_cast<char*>(modules[i]);
    }
    return nullptr;
}

template <typename T>
bool ReadAt(HANDLE process, const char* address, T& value) {
    SIZE_T read = 0;
    return ReadProcessMemory(process, address, &value, sizeof value, &read) && read == sizeof value;
}

// Where the export `name` of the module at `module` in `process` lies there,
// read from that module's export table in the process's memory, so that it
// holds for a program of either architecture; null when it is not found.
char* ExportIn(HANDLE process, char* module, const std::string& name) {
    IMAGE_DOS_HEADER dos{};
    IMAGE_FILE_HEADER file{};
    WORD magic = 0;
    if (!module || !ReadAt(process, module, dos)) return nullptr;
    const char* headers = module + dos.e_lfanew + sizeof(DWORD);
    if (!ReadAt(process, headers, file) || !ReadAt(process, headers + sizeof file, magic)) return nullptr;
    // The data directories close the optional header, of either size.
    const char* directories = headers + sizeof file + file.SizeOfOptionalHeader -
                              IMAGE_NUMBEROF_DIRECTORY_ENTRIES * sizeof(IMAGE_DATA_DIRECTORY);
    IMAGE_DATA_DIRECTORY exports{};
    IMAGE_EXPORT_DIRECTORY table{};
    if (!ReadAt(process, directories + IMAGE_DIRECTORY_ENTRY_EXPORT * sizeof exports, exports) ||
        !exports.VirtualAddress || !ReadAt(process, module + exports.VirtualAddress, table))
        return nullptr;
    for (DWORD i = 0; i < table.NumberOfNames; ++i) {
        DWORD nameAt = 0;
        WORD index = 0;
        DWORD at = 0;
        char text[128] = "";
        SIZE_T read = 0;
        if (!ReadAt(process, module + table.AddressOfNames + i * sizeof nameAt, nameAt)) return nullptr;
        ReadProcessMemory(process, module + nameAt, text, sizeof text - 1, &read);
        if (name != text) continue;
        if (!ReadAt(process, module + table.AddressOfNameOrdinals + i * sizeof index, index) ||
            !ReadAt(process, module + table.AddressOfFunctions + index * sizeof at, at))
            return nullptr;
        if (at < exports.VirtualAddress || at >= exports.VirtualAddress + exports.Size) return module + at;
        // A forwarder, "LIBRARY.Name": the export of another module.
        char forward[256] = "";
        ReadProcessMemory(process, module + at, forward, sizeof forward - 1, &read);
        const std::string target = forward;
        const size_t dot = target.find('.');
        if (dot == std::string::npos) return nullptr;
        const std::string library = target.substr(0, dot) + ".dll";
        return ExportIn(process, ModuleIn(process, std::wstring(library.begin(), library.end())), target.substr(dot + 1));
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
    // LoadLibraryW is a thread procedure of the right shape; it is looked up in
    // the program's own kernel32, which for a 32-bit program is not this one's.
    char* loadLibrary = ExportIn(process, ModuleIn(process, L"kernel32.dll"), "LoadLibraryW");
    if (!loadLibrary) return "cannot find LoadLibraryW in the process";
    const size_t bytes = (dll.size() + 1) * sizeof(wchar_t);
    RemoteBuffer path(process, bytes);
    if (!path.Write(dll.c_str(), bytes)) return "cannot write into the process";
    std::string error = RunThread(process, reinterpret_cast<FARPROC>(reinterpret_cast<void*>(loadLibrary)), path.Address());
    char* there = ModuleIn(process, dll);
    if (error.empty() && !there) error = "the process did not load " + std::string(dll.begin(), dll.end());
    if (!error.empty()) return error;
    char* start = ExportIn(process, there, entry);
    if (!start) return "the library has no export " + std::string(entry);
    return RunThread(process, reinterpret_cast<FARPROC>(reinterpret_cast<void*>(start)), argument);
}

}  // namespace e2e
