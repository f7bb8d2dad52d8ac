#include "tests/e2e/RemoteTools.h"

#include <commctrl.h>

namespace e2e {

namespace {

constexpr size_t kTextSize = 512;
constexpr UINT kAnswerTimeoutMs = 2000;

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result);
    return static_cast<LRESULT>(result);
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

}  // namespace e2e
