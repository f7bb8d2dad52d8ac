#include "tests/bench/ProcessCost.h"

#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace bench {

namespace {

double Milliseconds(const FILETIME& time) {
    const ULONGLONG ticks = (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<double>(ticks) / 1e4;  // 100 ns ticks
}

// The host's root is Wine's drive Z:. Files of /proc have no size and some
// refuse reading midway; what was read until then is returned.
std::string ReadHostFile(const std::string& hostPath) {
    std::string windowsPath = "Z:" + hostPath;
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    HANDLE file = CreateFileA(windowsPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// The NUL-separated strings of /proc/<pid>/cmdline or environ.
std::vector<std::string> Strings(const std::string& bytes) {
    std::vector<std::string> strings;
    std::istringstream in(bytes);
    for (std::string s; std::getline(in, s, '\0');) strings.push_back(s);
    return strings;
}

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Wine shows a process's Windows path as the host process's command line,
// padded with blanks.
bool RunsExe(const std::string& cmdline, const std::string& exePath) {
    const std::vector<std::string> strings = Strings(cmdline);
    std::string first = strings.empty() ? std::string() : strings.front();
    while (!first.empty() && first.back() == ' ') first.pop_back();
    return SameText(first, exePath);
}

std::string PrefixLine(const std::string& environment) {
    for (const std::string& entry : Strings(environment))
        if (entry.rfind("WINEPREFIX=", 0) == 0) return entry;
    return {};
}

// The host process that runs `exePath` in the same Wine prefix as this one;
// 0 when there is none or more than one.
unsigned long HostProcessRunning(const std::string& exePath) {
    const std::string ownPrefix = PrefixLine(ReadHostFile("/proc/self/environ"));
    unsigned long found = 0;
    int count = 0;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        char* end = nullptr;
        const unsigned long pid = std::strtoul(entry.cFileName, &end, 10);
        if (pid == 0 || *end != '\0') continue;
        const std::string proc = "/proc/" + std::string(entry.cFileName);
        if (!RunsExe(ReadHostFile(proc + "/cmdline"), exePath)) continue;
        if (PrefixLine(ReadHostFile(proc + "/environ")) != ownPrefix) continue;
        found = pid;
        ++count;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return count == 1 ? found : 0;
}

// Private_Clean + Private_Dirty of smaps_rollup, in bytes.
double ResidentPrivateBytes(unsigned long hostPid) {
    std::istringstream lines(ReadHostFile("/proc/" + std::to_string(hostPid) + "/smaps_rollup"));
    double kilobytes = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string key;
        double value = 0;
        if (fields >> key >> value && (key == "Private_Clean:" || key == "Private_Dirty:")) kilobytes += value;
    }
    return kilobytes * 1024;
}

}  // namespace

double ProcessCpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return Milliseconds(kernel) + Milliseconds(user);
}

PrivateMemory PrivateMemoryOf(HANDLE process, const std::string& exePath) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters) &&
        counters.PrivateUsage > 0)
        return {static_cast<double>(counters.PrivateUsage), "PrivateUsage"};
    const unsigned long hostPid = HostProcessRunning(exePath);
    if (hostPid == 0) return {0, "not reported"};
    return {ResidentPrivateBytes(hostPid), "resident private memory of the host process (Wine)"};
}

}  // namespace bench
