// Human-like input: the primitives through which the program acts on the screen
// the way a person would. They synthesise operating-system input, so it goes to
// whatever window has the foreground and the keyboard focus.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Desktop.h"

// Flags of PressKey's code word (the program's own, not the layout's shift state).
enum : uint32_t {
    kWithShift = 0x100,
    kWithCtrl = 0x200,
    kWithAlt = 0x8000,
};

// Moves the cursor towards (x, y) in at most `steps` steps, sleeping `delay` ms
// after each. 1 when it stopped because somebody else moved the cursor, else 0.
int GlideCursor(int32_t x, int32_t y, uint32_t steps, uint32_t delay);

// The clicks and keys each go to the system in one call, a key with its
// modifiers and a character with all its parts, so that the user's own input
// cannot come between them. Each is false when the system did not take the
// whole of it.
bool ClickLeft();
bool TapKey(uint8_t vk);
bool PressKey(uint32_t code);
bool PressBackspace(uint32_t count);
// How a window takes the keys typed into it: read once before an address, as
// the user may change any of it between visits.
struct KeyboardState {
    desktop::KeyboardLayout layout = nullptr;
    bool capsLock = false;
    bool composes = false;  // an input method turns keys into something else
};
KeyboardState KeyboardOf(desktop::Window window);
// Types one character (a Unicode code point) into the foreground window, whose
// keyboard is `keyboard`: with the keys of its layout where they make the
// character exactly, else, and always where an input method would compose the
// keys, as a Unicode character. Control characters are never typed (and true).
bool TypeChar(char32_t c, const KeyboardState& keyboard);
// What TypeChar types of `characters`, in UTF-16: what a text field that took
// all of it holds.
std::u16string TypedForm(const std::u32string& characters);
// Makes `window` the foreground window, restoring it when it is minimised.
// Any other window stays exactly where the user put it: snapped, maximised or
// not, it is never moved.
void BringToFront(desktop::Window window);
// Makes `window` the foreground window, borrowing the input of the thread that
// owns the current foreground window so that the platform lets us.
void ForceForeground(desktop::Window window);
