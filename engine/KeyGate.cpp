#include "engine/KeyGate.h"

namespace {

constexpr uint32_t kSettleMs = 2000;
constexpr uint32_t kPollMs = 10;

// The window that a click on `w` activates: its top-level ancestor.
desktop::Window TopLevel(desktop::Window w) {
    while (w && desktop::IsChildWindow(w)) w = desktop::ParentOf(w);
    return w;
}

}  // namespace

desktop::Window BrowserWindowAt(desktop::Point p) {
    desktop::Window window = desktop::WindowFromPoint(p);
    while (window) {
        const desktop::Window up = desktop::IsChildWindow(window) ? desktop::ParentOf(window)
                                                                  : desktop::OwnerOf(window);
        if (!up) break;
        window = up;
    }
    return window;
}

bool CKeyGate::Aim(desktop::Point point, desktop::Window browser) {
    m_hTarget = browser ? browser : TopLevel(desktop::WindowFromPoint(point));
    const bool covered = browser && BrowserWindowAt(point) != browser;
    if (!m_hTarget || covered || desktop::IsOwnWindow(m_hTarget) || desktop::RunsAboveUs(m_hTarget)) {
        m_hTarget = nullptr;
        return false;
    }
    return true;
}

bool CKeyGate::OpenAfterClick() {
    for (uint32_t waited = 0; !Open(); waited += kPollMs) {
        if (!m_hTarget || waited >= kSettleMs) {
            m_hTarget = nullptr;
            return false;
        }
        desktop::Sleep(kPollMs);
    }
    // Read here, after any attachment of ours that could have left it stale.
    m_keyboard = KeyboardOf(m_hTarget);
    return true;
}

bool CKeyGate::Open() const { return m_hTarget && desktop::GetForegroundWindow() == m_hTarget; }

void CKeyGate::ThrowUnlessOpen() const {
    if (!Open()) throw CKeysElsewhere();
}

void CKeyGate::TapKey(uint8_t vk) const {
    ThrowUnlessOpen();
    ::TapKey(vk);
}

void CKeyGate::PressKey(uint32_t code) const {
    ThrowUnlessOpen();
    ::PressKey(code);
}

void CKeyGate::PressBackspace() const {
    ThrowUnlessOpen();
    ::PressBackspace(1);
}

void CKeyGate::TypeChar(char32_t c) const {
    ThrowUnlessOpen();
    ::TypeChar(c, m_keyboard);
}
