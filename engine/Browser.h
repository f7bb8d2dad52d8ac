// Which window may be the browser. The user's browser is known by its program
// (its executable's file name), recorded when the address bar is calibrated on
// it; a window of another program is never typed into, whatever lies under
// the address bar. Nor, recorded or not, a window of ours or the shell's: a
// click, Home, Shift+End and Delete on the desktop or in a folder window
// select the user's files and send them to the Recycle Bin.
#pragma once

#include <string>

#include "framework/Desktop.h"

// The top-level window that whatever lies at `p` belongs to: up through
// parents, then owners. A browser is known by it.
desktop::Window BrowserWindowAt(desktop::Point p);
// Whether `window` may be a browser of `program`, or of any program when that
// is empty: neither ours nor the shell's, and of a program that can be told.
bool MayBeBrowser(desktop::Window window, const std::string& program);
// The program of the window at `p` when it may be a browser; else empty.
std::string BrowserProgramAt(desktop::Point p);
