// Acting as the user: real (synthesised) mouse and keyboard input, which reaches
// the program through the system's input queue exactly as a hand's would.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

namespace e2e {

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

}  // namespace e2e
