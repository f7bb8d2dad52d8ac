// Keys go only to the browser. The keys of a visit are synthesised for
// whatever window has the keyboard, so without this a browser that did not
// come to the front (an elevated one, the lock screen, one that is busy or
// gone) would leave them to another program, where they could clear and
// overwrite what the user was writing.
//
// Every click, key and character of a visit goes through the gate, and each
// checks for itself that the keyboard is still with the window aimed at and
// that the user has not taken it back.
#pragma once

#include <cstdint>
#include <string>

#include "engine/Input.h"
#include "framework/Desktop.h"

// Thrown by the gate: the keyboard is not, or no longer, with the window
// aimed at, or the system did not take the whole of a key; no key may follow.
struct CKeysElsewhere {};

class CKeyGate {
public:
    // Before the click at `point`: the window that the keys are for is the
    // session's browser when it has one, else the top-level window under the
    // point. False (and shut) when no key may go to it: there is none, it is
    // not a window of the browser's `program` (any program's when empty), it
    // is ours or the shell's, the platform would drop our input to it, or the
    // browser is not what lies under the point.
    bool Aim(desktop::Point point, desktop::Window browser, const std::string& program);
    // The click into the address bar, which brings the window aimed at forward.
    void Click() const;
    // After the click: activation can land a moment after the click returns,
    // so this waits a little for the window to have the keyboard, then reads
    // how it takes keys. False (and shut) when it did not come.
    bool OpenAfterClick();

    // What the element at the click point says of itself (the address bar,
    // when the click went where it should): nothing when it does not answer
    // in a moment, or the window hangs.
    desktop::AccessibleText ReadBar() const;

    // Each throws CInterrupt (engine/Interrupt.h), sending nothing, when the
    // user has taken the keyboard or the mouse (engine/UserWatch.h), and
    // CKeysElsewhere unless the keyboard is with the window aimed at.
    void TapKey(uint8_t vk) const;
    void PressKey(uint32_t code) const;
    void PressBackspace() const;
    void TypeChar(char32_t c) const;
    // As a Unicode character, whatever keys the layout has for it.
    void TypeAsCharacter(char32_t c) const;

    // A turn of the wheel goes to the window under the cursor, or to the one
    // with the keyboard: only while that is `browser` on both counts, else
    // the turn is left out.
    static void TurnWheel(desktop::Window browser, int32_t delta);

private:
    bool Open() const;
    void CheckBeforeInput() const;

    desktop::Window m_hTarget = nullptr;
    desktop::Point m_ptClick;
    KeyboardState m_keyboard;
};
