// options.ini: the address-bar rectangle kept from one run to the next, and
// the program of the browser it was recorded on. The rectangle's four lines
// come first and are read by position, as ever; the browser's line follows
// them ("browser=NAME"), and a file without it is a file without a browser.
#pragma once

#include <string>

#include "framework/Desktop.h"

constexpr const char* kBoundariesFile = "options.ini";

// The whole file for a rectangle: bottom, left, right, top, one "key=value"
// line each; then the browser's program, when there is one.
std::string FormatBoundaries(const desktop::Rect& rect, const std::string& browser = std::string());
// Reads the file at `path` into `rect` and, when asked, `browser` (empty when
// the file names none); false (and both untouched) when it cannot be opened.
bool ReadBoundaries(const char* path, desktop::Rect& rect, std::string* browser = nullptr);
// Replaces the file at `path` in one step; kBusy when another program held a
// file on the way or access was denied, which may pass in a moment.
desktop::FileResult WriteBoundaries(const char* path, const desktop::Rect& rect,
                                    const std::string& browser = std::string());
