// Acting as the user: real (synthesised) mouse and keyboard input, which reaches
// the program through the system's input queue exactly as a hand's would.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "tests/e2e/Wait.h"

namespace e2e {

// Where the hand rests between its moves: off the main dialog (in the middle
// of the screen, where the cursor would call up tooltips), off the browsers
// that the tests and the demonstration drive (on the left) and off every
// rectangle that the tests trace, and above a taskbar.
constexpr POINT kRestingPlace{900, 700};

POINT CursorNow();
bool Same(POINT a, POINT b);
// "(x, y)", for messages.
std::string ToString(POINT p);
// Puts the cursor at `at` and reports whether it went there. Under Wine the
// cursor stays put until the desktop is up, so this asks again until it moves.
bool PutCursor(POINT at);

// Makes `window` the foreground window and waits until the system says it is.
// Keys go to the foreground window: under Wine activation is applied
// asynchronously, and keys sent before it has landed reach the window before.
bool BringToFront(HWND window);
void MoveMouseTo(POINT at);
void ClickAt(POINT at);
// One key pressed and released, into whatever has the focus in the foreground window.
void PressKey(WORD virtualKey);
// A chord: the keys go down in order and come up in reverse (e.g. {VK_SHIFT, VK_TAB}).
void PressChord(std::initializer_list<WORD> virtualKeys);
// Each character typed with the keys and Shift state that the keyboard layout gives it.
void TypeText(const std::string& text);
// A key pressed and released on the display's own keyboard (the X server's,
// through xdotool), which reaches the system as a hardware key does: not as
// input injected by a program. The display's keyboard is given to `window`
// first, as the pointer may not give it (see keep_pointer_off_windows in
// scripts/lib/desktop.sh). Under Wine only; false when xdotool could not be
// started or the window has no window of the display. The key comes a moment
// later.
bool PressKeyOnTheDisplay(HWND window, const std::string& key);

// As Tab would: the dialog manager moves the focus to the control (selecting
// an edit control's whole text); reports whether the focus got there in time.
bool FocusOn(HWND dialog, int id);
// The control focused as Tab would, then `text` typed over its content;
// reports whether the control came to hold exactly `text`.
bool TypeInto(HWND dialog, int id, const std::string& text);

}  // namespace e2e
