// Keys go only to the browser. The keys of a visit are synthesised for
// whatever window has the keyboard, so without this a browser that did not
// come to the front (an elevated one, the lock screen, one that is busy or
// gone) would leave them to another program, where they could clear and
// overwrite what the user was writing.
//
// Every key and character of a visit goes through the gate, and each checks
// for itself that the keyboard is still with the window aimed at.
#pragma once

#include <cstdint>

#include "engine/Input.h"
#include "framework/Desktop.h"

// Thrown by the gate's keys: the keyboard is not, or no longer, with the
// window aimed at, and no key may follow.
struct CKeysElsewhere {};

// The top-level window that whatever lies at `p` belongs to: up through
// parents, then owners. A browser is known by it.
desktop::Window BrowserWindowAt(desktop::Point p);

class CKeyGate {
public:
    // Before the click at `point`: the window that the keys are for is the
    // session's browser when it has one, else the top-level window under the
    // point. False (and shut) when no key may go to it: there is none, it is
    // ours, the platform would drop our input to it, or the browser is not
    // what lies under the point.
    bool Aim(desktop::Point point, desktop::Window browser);
    // After the click: activation can land a moment after the click returns,
    // so this waits a little for the window to have the keyboard, then reads
    // how it takes keys. False (and shut) when it did not come.
    bool OpenAfterClick();

    // Each throws CKeysElsewhere, sending nothing, unless the keyboard is
    // with the window aimed at.
    void TapKey(uint8_t vk) const;
    void PressKey(uint32_t code) const;
    void PressBackspace() const;
    void TypeChar(char32_t c) const;

private:
    bool Open() const;
    void ThrowUnlessOpen() const;

    desktop::Window m_hTarget = nullptr;
    KeyboardState m_keyboard;
};
