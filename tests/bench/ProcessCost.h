// What a running process costs: CPU time and private memory, read from
// outside the process, so that the program is measured as it is shipped.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

// Kernel plus user time that the process has used so far, in milliseconds.
double ProcessCpuMs(HANDLE process);

// Private bytes: memory that belongs to the process alone.
struct PrivateMemory {
    double bytes = 0;
    // Where the figure comes from, for the report.
    std::string source;
};

// Windows reports private bytes as PROCESS_MEMORY_COUNTERS_EX::PrivateUsage.
// Wine 8 reports 0 there for another process; then the figure is the resident
// private memory of the host process that runs `exePath` in this Wine prefix
// (its /proc/<pid>/smaps_rollup), which is what Wine would otherwise show.
PrivateMemory PrivateMemoryOf(HANDLE process, const std::string& exePath);

}  // namespace bench
