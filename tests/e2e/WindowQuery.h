// Looking at the windows of another process.
//
// Only messages that the system carries across processes are sent (WM_GETTEXT,
// and messages whose arguments and results are plain numbers); pointers into
// the program's memory are dealt with in RemoteTools.h.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/Wait.h"

namespace e2e {

std::string ClassOf(HWND window);
// The window's text as the window reports it (WM_GETTEXT): the only way to read a
// control of another process. When the owning thread is busy and does not answer
// in time, the text that the system keeps for the window is returned instead.
std::string TextOf(HWND window);
// The text that the system keeps for the window, without asking its thread;
// right for captions, buttons and statics while the program is busy (an edit
// control keeps its text to itself: this reads nothing for it).
std::string StoredTextOf(HWND window);
// Whether the window's text (TextOf) comes to read `text` within `timeout`.
bool Becomes(HWND window, const std::string& text, Millis timeout = kPatience);
// Whether the window's thread handles messages right now (a thread busy with a
// glide or a visit does not).
bool Answers(HWND window);

HWND ControlOf(HWND dialog, int id);
// The dialog's child windows in z-order, which for a dialog is its template's order.
std::vector<HWND> ChildrenOf(HWND dialog);
int IdOf(HWND control);
bool HasStyle(HWND window, LONG_PTR style);
bool HasExStyle(HWND window, LONG_PTR exStyle);
// The window with the keyboard focus in the thread that owns `window`.
HWND FocusIn(HWND window);

// An edit control's selection, from the packed result of EM_GETSEL.
struct Selection {
    int start;
    int end;
};
Selection SelectionOf(HWND edit);

RECT RectOf(HWND window);
POINT CentreOf(HWND window);
// The colour that the display shows at a point.
COLORREF ScreenPixel(POINT at);
// The pixels that the display shows in `area`, row by row from the top, each as
// a 32-bit DIB holds it (blue, green, red, unused); none for an empty area.
std::vector<DWORD> ScreenPixelsOf(const RECT& area);
// How many pixels of the screen area have exactly this colour.
int CountScreenPixels(const RECT& area, COLORREF colour);

// A message box's caption and text (the text is its static 0xFFFF).
struct BoxContent {
    std::string caption;
    std::string text;
};
HWND BoxTextOf(HWND box);
BoxContent ContentOf(HWND box);
// Presses the box's OK button. WM_COMMAND/IDOK posted to the box does not close it
// under Wine 8; BM_CLICK posted to the button does, there and on Windows.
void CloseMessageBox(HWND box);

}  // namespace e2e
