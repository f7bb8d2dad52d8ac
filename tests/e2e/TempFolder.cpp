#include "tests/e2e/TempFolder.h"

#include <windows.h>

#include <aclapi.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace e2e {

namespace {

std::string FreshFolderName() {
    static std::atomic<int> counter{0};
    std::ostringstream name;
    name << "veruvo-e2e-" << GetCurrentProcessId() << "-" << GetTickCount() << "-" << counter++;
    return name.str();
}

// Wine's own exports: the host's path of a Windows path, and running a host
// program to its end. Both are absent on Windows.
using UnixFileNameFn = char*(CDECL*)(const wchar_t*);
using UnixSpawnFn = LONG(WINAPI*)(char* const* argv, int wait);

template <typename Fn>
Fn WineExport(const char* module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), name)));
}

std::string HostPathOf(const std::string& path) {
    auto toUnix = WineExport<UnixFileNameFn>("kernel32.dll", "wine_get_unix_file_name");
    if (!toUnix) return {};
    const std::wstring wide = fs::path(path).wstring();
    char* unixPath = toUnix(wide.c_str());
    if (!unixPath) return {};
    std::string result(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

// Runs a host program and waits for it. (CreateProcess would start it too, but
// hands back no process to wait for.)
bool RunOnHost(std::vector<std::string> arguments) {
    auto spawn = WineExport<UnixSpawnFn>("ntdll.dll", "__wine_unix_spawnvp");
    if (!spawn) return false;
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    return spawn(argv.data(), TRUE) == 0;
}

// Windows: an access list that gives everybody `rights` and nothing more. The
// owner may always change an access list, so this can be undone.
bool SetWorldAccess(const std::string& path, DWORD rights, DWORD inheritance) {
    BYTE worldSid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof worldSid;
    if (!CreateWellKnownSid(WinWorldSid, nullptr, worldSid, &sidSize)) return false;
    BYTE aclBytes[256];
    auto* acl = reinterpret_cast<ACL*>(aclBytes);
    if (!InitializeAcl(acl, sizeof aclBytes, ACL_REVISION) ||
        !AddAccessAllowedAceEx(acl, ACL_REVISION, inheritance, rights, worldSid))
        return false;
    return SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT,
                                 DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                 acl, nullptr) == ERROR_SUCCESS;
}

}  // namespace

bool RunningUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

TempFolder::TempFolder() {
    const fs::path path = fs::temp_directory_path() / FreshFolderName();
    fs::create_directories(path);
    m_path = path.string();
}

TempFolder::~TempFolder() {
    if (m_readOnly) {
        SetAccessList(false);
        SetHostWritable(true);
    }
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

bool TempFolder::Has(const std::string& name) const {
    std::error_code ignored;
    return fs::exists(PathOf(name), ignored);
}

std::string TempFolder::Read(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempFolder::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(PathOf(name), std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

std::vector<std::string> TempFolder::Names() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(m_path, ignored)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool TempFolder::MakeReadOnly() {
    m_readOnly = true;
    // Windows: an access list that lets everybody read and list, and nothing more.
    SetAccessList(true);
    // Wine keeps access lists but does not enforce them, and ignores the read-only
    // attribute of folders, as Windows does: only the host's permissions bind there.
    if (RunningUnderWine()) SetHostWritable(false);
    return !CanCreateFiles();
}

bool TempFolder::SetAccessList(bool readOnly) {
    const DWORD rights = readOnly ? (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE) : FILE_ALL_ACCESS;
    return SetWorldAccess(m_path, rights, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
}

// Under Wine, chmod is the one thing that makes a folder read-only. (A root user
// with CAP_DAC_OVERRIDE writes anyway; scripts/test.sh drops that capability.)
bool TempFolder::SetHostWritable(bool writable) const {
    const std::string hostPath = HostPathOf(m_path);
    return !hostPath.empty() && RunOnHost({"/bin/chmod", writable ? "u+w" : "a-w", hostPath});
}

// As MakeReadOnly: an access list on Windows, and under Wine, which does not
// enforce access lists, the host's permissions.
bool TempFolder::MakeUnreadable(const std::string& name) const {
    const std::string path = PathOf(name);
    SetWorldAccess(path, DELETE | READ_CONTROL | WRITE_DAC | FILE_WRITE_ATTRIBUTES, 0);
    if (RunningUnderWine()) RunOnHost({"/bin/chmod", "a-r", HostPathOf(path)});
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true;
    CloseHandle(file);
    return false;
}

bool TempFolder::MakeReadable(const std::string& name) const {
    const std::string path = PathOf(name);
    const bool granted = SetWorldAccess(path, FILE_ALL_ACCESS, 0);
    if (RunningUnderWine()) return RunOnHost({"/bin/chmod", "u+r", HostPathOf(path)});
    return granted;
}

bool TempFolder::CanCreateFiles() const {
    const std::string probe = PathOf("probe.tmp");
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    DeleteFileA(probe.c_str());
    return true;
}

}  // namespace e2e
