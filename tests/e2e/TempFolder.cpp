#include "tests/e2e/TempFolder.h"

#include <windows.h>

#include <aclapi.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/e2e/Wait.h"

namespace fs = std::filesystem;

namespace e2e {

namespace {

// A host program started from Wine runs on its own: its process handle does not
// tell when it is done, so its effect is waited for instead.
constexpr Millis kHostCommandTime{10000};

std::string FreshFolderName() {
    static std::atomic<int> counter{0};
    std::ostringstream name;
    name << "veruvo-e2e-" << GetCurrentProcessId() << "-" << GetTickCount() << "-" << counter++;
    return name.str();
}

// Wine's own export that turns a Windows path into the host's path; absent on Windows.
using UnixFileNameFn = char*(CDECL*)(const wchar_t*);

std::string HostPathOf(const std::string& path) {
    auto toUnix = reinterpret_cast<UnixFileNameFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    const std::wstring wide = fs::path(path).wstring();
    char* unixPath = toUnix(wide.c_str());
    if (!unixPath) return {};
    std::string result(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

bool Run(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
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
        WaitUntil([this] { return CanCreateFiles(); }, kHostCommandTime);
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
    return WaitUntil([this] { return !CanCreateFiles(); }, kHostCommandTime);
}

bool TempFolder::SetAccessList(bool readOnly) {
    BYTE worldSid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof worldSid;
    if (!CreateWellKnownSid(WinWorldSid, nullptr, worldSid, &sidSize)) return false;
    BYTE aclBytes[256];
    auto* acl = reinterpret_cast<ACL*>(aclBytes);
    const DWORD rights = readOnly ? (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE) : FILE_ALL_ACCESS;
    if (!InitializeAcl(acl, sizeof aclBytes, ACL_REVISION) ||
        !AddAccessAllowedAceEx(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, rights, worldSid))
        return false;
    // The folder's owner may always change its access list, so this can be undone.
    return SetNamedSecurityInfoA(const_cast<char*>(m_path.c_str()), SE_FILE_OBJECT,
                                 DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                 acl, nullptr) == ERROR_SUCCESS;
}

// Under Wine a Windows program may start a host program; chmod is the one thing
// that makes a folder read-only for Wine. (A root user with CAP_DAC_OVERRIDE
// writes anyway; scripts/test.sh drops that capability.)
bool TempFolder::SetHostWritable(bool writable) const {
    const std::string hostPath = HostPathOf(m_path);
    if (hostPath.empty()) return false;
    return Run(std::string("Z:\\bin\\chmod ") + (writable ? "u+w" : "a-w") + " \"" + hostPath + "\"");
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
