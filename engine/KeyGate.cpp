#include "engine/KeyGate.h"

#include "engine/Browser.h"
#include "engine/Interrupt.h"
#include "engine/UserWatch.h"

namespace {

constexpr uint32_t kSettleMs = 2000;
constexpr uint32_t kPollMs = 10;
// Long enough for a browser that answers at all (a read takes milliseconds),
// short enough that one that does not holds up no visit for long.
constexpr uint32_t kReadDeadlineMs = 500;

// The window that a click on `w` activates: its top-level ancestor.
desktop::Window TopLevel(desktop::Window w) {
    while (w && desktop::IsChildWindow(w)) w = desktop::ParentOf(w);
    return w;
}

// The system took only part of a key (or none): what it left out would change
// what the rest means.
void CheckSent(bool whole) {
    if (!whole) throw CKeysElsewhere();
}

}  // namespace

bool CKeyGate::Aim(desktop::Point point, desktop::Window browser, const std::string& program) {
    m_ptClick = point;
    m_hTarget = browser ? browser : TopLevel(desktop::WindowFromPoint(point));
    const bool covered = browser && BrowserWindowAt(point) != browser;
    if (covered || !MayBeBrowser(m_hTarget, program) || desktop::RunsAboveUs(m_hTarget)) {
        m_hTarget = nullptr;
        return false;
    }
    return true;
}

void CKeyGate::Click() const {
    if (UserActs()) throw CInterrupt();
    CheckSent(ClickLeft());
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

desktop::AccessibleText CKeyGate::ReadBar() const {
    if (!m_hTarget || desktop::IsHungWindow(m_hTarget)) return desktop::AccessibleText();
    return desktop::ReadAccessibleAt(m_ptClick, kReadDeadlineMs);
}

bool CKeyGate::Open() const { return m_hTarget && desktop::GetForegroundWindow() == m_hTarget; }

void CKeyGate::CheckBeforeInput() const {
    if (UserActs()) throw CInterrupt();
    if (!Open()) throw CKeysElsewhere();
}

void CKeyGate::TapKey(uint8_t vk) const {
    CheckBeforeInput();
    CheckSent(::TapKey(vk));
}

void CKeyGate::PressKey(uint32_t code) const {
    CheckBeforeInput();
    CheckSent(::PressKey(code));
}

void CKeyGate::PressBackspace() const {
    CheckBeforeInput();
    CheckSent(::PressBackspace(1));
}

void CKeyGate::TypeChar(char32_t c) const {
    CheckBeforeInput();
    CheckSent(::TypeChar(c, m_keyboard));
}

void CKeyGate::TypeAsCharacter(char32_t c) const {
    CheckBeforeInput();
    KeyboardState asCharacters = m_keyboard;
    asCharacters.composes = true;
    CheckSent(::TypeChar(c, asCharacters));
}

void CKeyGate::TurnWheel(desktop::Window browser, int32_t delta) {
    if (browser && desktop::GetForegroundWindow() == browser && BrowserWindowAt(desktop::GetCursorPos()) == browser)
        desktop::SendWheel(delta);
}
