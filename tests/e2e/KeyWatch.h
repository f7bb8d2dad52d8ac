// Every key event that enters the system while a watch lives, whoever sends
// it and whichever window it then reaches: a low-level keyboard hook sees it
// as it is injected. So a test can tell that a program sent no key at all,
// which no window that might have received one could tell.
//
// The hook is called on the thread that made the watch, while that thread
// waits for messages (WaitUntil does); one watch at a time.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

class KeyWatch {
public:
    KeyWatch();
    ~KeyWatch();
    KeyWatch(const KeyWatch&) = delete;
    KeyWatch& operator=(const KeyWatch&) = delete;

    bool Watching() const { return m_hook != nullptr; }
    // The virtual-key codes of the key presses seen, in order.
    const std::vector<DWORD>& Presses() const { return m_presses; }
    // The presses for a failure message, e.g. "36 35 46 72".
    std::string Describe() const;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM message, LPARAM event);

    HHOOK m_hook = nullptr;
    std::vector<DWORD> m_presses;
};

}  // namespace e2e
