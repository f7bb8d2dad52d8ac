#include "tests/bench/ProcessCost.h"

#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "tests/e2e/Harness.h"

namespace bench {

namespace {

double Milliseconds(const FILETIME& time) {
    const ULONGLONG ticks = (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<double>(ticks) / 1e4;  // 100 ns ticks
}

// Files of /proc have no size, and some refuse reading midway: whatever was
// read until then is returned.
std::string ReadHostFile(const std::string& hostPath) {
    HANDLE file = CreateFileA(e2e::WindowsPath(hostPath).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// The names in a host folder that are numbers (processes, threads).
std::vector<std::string> NumberedEntries(const std::string& hostFolder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(e2e::WindowsPath(hostFolder + "/*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        char* end = nullptr;
        if (std::strtoul(entry.cFileName, &end, 10) > 0 && *end == '\0') names.push_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

// The NUL-separated strings of /proc/<pid>/cmdline or environ.
std::vector<std::string> Strings(const std::string& bytes) {
    std::vector<std::string> strings;
    std::istringstream in(bytes);
    for (std::string s; std::getline(in, s, '\0');) strings.push_back(s);
    return strings;
}

bool SameText(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// Wine shows a process's Windows path as the host process's command line,
// padded with blanks.
bool RunsExe(const std::string& cmdline, const std::string& exePath) {
    const std::vector<std::string> strings = Strings(cmdline);
    std::string first = strings.empty() ? std::string() : strings.front();
    while (!first.empty() && first.back() == ' ') first.pop_back();
    return SameText(first, exePath);
}

std::string PrefixEntry(const std::string& environment) {
    for (const std::string& entry : Strings(environment))
        if (entry.rfind("WINEPREFIX=", 0) == 0) return entry;
    return {};
}

// The host process that runs `exePath` in the same Wine prefix as this one;
// 0 when there is none or more than one.
unsigned long HostProcessRunning(const std::string& exePath) {
    const std::string ownPrefix = PrefixEntry(ReadHostFile("/proc/self/environ"));
    unsigned long found = 0;
    int count = 0;
    for (const std::string& pid : NumberedEntries("/proc")) {
        if (!RunsExe(ReadHostFile("/proc/" + pid + "/cmdline"), exePath)) continue;
        if (PrefixEntry(ReadHostFile("/proc/" + pid + "/environ")) != ownPrefix) continue;
        found = std::strtoul(pid.c_str(), nullptr, 10);
        ++count;
    }
    return count == 1 ? found : 0;
}

// The first field of schedstat: nanoseconds on a processor.
double HostCpuMs(unsigned long hostPid) {
    const std::string task = "/proc/" + std::to_string(hostPid) + "/task";
    const std::vector<std::string> threads = NumberedEntries(task);
    if (threads.empty()) return -1;
    double nanoseconds = 0;
    for (const std::string& thread : threads) {
        std::istringstream fields(ReadHostFile(task + "/" + thread + "/schedstat"));
        double onCpu = 0;
        if (fields >> onCpu) nanoseconds += onCpu;
    }
    return nanoseconds / 1e6;
}

double HostPrivateBytes(unsigned long hostPid) {
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

ProcessCost::ProcessCost(HANDLE process, const std::string& exePath)
    : m_process(process), m_underWine(e2e::RunningUnderWine()) {
    if (m_underWine) m_hostPid = HostProcessRunning(exePath);
}

double ProcessCost::CpuMs() const {
    if (m_underWine) return m_hostPid ? HostCpuMs(m_hostPid) : -1;
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(m_process, &created, &exited, &kernel, &user)) return -1;
    return Milliseconds(kernel) + Milliseconds(user);
}

double ProcessCost::PrivateBytes() const {
    if (m_underWine) return m_hostPid ? HostPrivateBytes(m_hostPid) : 0;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(m_process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return 0;
    return static_cast<double>(counters.PrivateUsage);
}

std::string ProcessCost::Source() const {
    if (!m_underWine) return "GetProcessTimes and GetProcessMemoryInfo (PrivateUsage)";
    if (!m_hostPid) return "nothing: the host process was not found";
    return "the host process (Wine reports neither for another process): time on a processor from"
           " /proc/<pid>/task/*/schedstat, resident private memory from /proc/<pid>/smaps_rollup";
}

}  // namespace bench
