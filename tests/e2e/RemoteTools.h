// Reading a tooltip control of another process.
//
// The common controls' messages that take a pointer (TTM_ENUMTOOLS, TTM_GETTEXT)
// are not carried across processes: the system passes the pointer through as a
// number. So the structure and the text buffer are placed in the program's own
// memory (VirtualAllocEx), and read back from there. The structures hold
// pointers, so this needs the test and the program to be built for the same
// architecture.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// A block of memory in another process, freed when the object goes.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    char* Address() const { return static_cast<char*>(m_address); }
    bool Write(const void* bytes, size_t size, size_t offset = 0) const;
    bool Read(void* bytes, size_t size, size_t offset = 0) const;

private:
    HANDLE m_process;
    void* m_address;
};

// One tool of a tooltip control, as the control reports it.
struct Tool {
    UINT flags;
    HWND window;
    UINT_PTR id;
    std::string text;
};

// The tools of `toolTip`, in the order of registration; `process` is the
// handle of the process that owns it, with the rights that CreateProcess gives.
std::vector<Tool> ToolsOf(HWND toolTip, HANDLE process);

// Loads the library `dll`, built for the architecture of `process` (a handle
// with the rights that CreateProcess gives; 32-bit or 64-bit, whatever this
// program's), into it and runs its export `entry`, a thread procedure, there on
// a thread of its own with `argument`, an address in that process. Returns
// once the thread has ended: empty, or why it could not run.
std::string RunInProcess(HANDLE process, const std::wstring& dll, const char* entry, void* argument);

}  // namespace e2e
