// What a running process costs: CPU time and private memory, read from
// outside the process, so that the program is measured as it is shipped.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

class ProcessCost {
public:
    // `exePath` is the path the process was started from; under Wine it finds
    // the host process that runs it, which must then be the only one in this
    // Wine prefix.
    ProcessCost(HANDLE process, const std::string& exePath);

    // Time that the process has spent on a processor so far, in milliseconds;
    // negative when it cannot be read. Windows reports it through
    // GetProcessTimes. Wine 8 answers GetProcessTimes for another process with
    // the caller's own times, so there it is the host process's time on the
    // processors, all its threads (/proc/<pid>/task/*/schedstat).
    double CpuMs() const;

    // Private bytes: memory that belongs to the process alone, or 0. Windows
    // reports them as PROCESS_MEMORY_COUNTERS_EX::PrivateUsage. Wine 8 reports
    // 0 there for another process; then they are the host process's resident
    // private memory (Private_Clean + Private_Dirty of /proc/<pid>/smaps_rollup).
    double PrivateBytes() const;

    // Where the figures come from, for the report.
    std::string Source() const;

private:
    HANDLE m_process;
    unsigned long m_hostPid = 0;  // under Wine; 0 when not found
    bool m_underWine;
};

}  // namespace bench
