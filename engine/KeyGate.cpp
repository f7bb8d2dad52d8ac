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

bool CKeyGate::OpenAfterClick(desktop::Point point) {
    m_hTarget = TopLevel(desktop::WindowFromPoint(point));
    if (!m_hTarget || desktop::IsOwnWindow(m_hTarget)) {
        m_hTarget = nullptr;
        return false;
    }
    for (uint32_t waited = 0; !Open(); waited += kPollMs) {
        if (waited >= kSettleMs) {
            m_hTarget = nullptr;
            return false;
        }
        desktop::Sleep(kPollMs);
    }
    return true;
}

bool CKeyGate::Open() const { return m_hTarget && desktop::GetForegroundWindow() == m_hTarget; }
