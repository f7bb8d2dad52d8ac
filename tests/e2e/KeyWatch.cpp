#include "tests/e2e/KeyWatch.h"

namespace e2e {

namespace {

KeyWatch* g_watch = nullptr;

}  // namespace

KeyWatch::KeyWatch() {
    if (g_watch) return;
    m_hook = SetWindowsHookExA(WH_KEYBOARD_LL, Hook, GetModuleHandleA(nullptr), 0);
    if (m_hook) g_watch = this;
}

KeyWatch::~KeyWatch() {
    if (!m_hook) return;
    UnhookWindowsHookEx(m_hook);
    g_watch = nullptr;
}

std::string KeyWatch::Describe() const {
    std::string text;
    for (DWORD vk : m_presses) text += (text.empty() ? "" : " ") + std::to_string(vk);
    return text.empty() ? "none" : text;
}

LRESULT CALLBACK KeyWatch::Hook(int code, WPARAM message, LPARAM event) {
    if (code == HC_ACTION && g_watch && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN))
        g_watch->m_presses.push_back(reinterpret_cast<const KBDLLHOOKSTRUCT*>(event)->vkCode);
    return CallNextHookEx(nullptr, code, message, event);
}

}  // namespace e2e
