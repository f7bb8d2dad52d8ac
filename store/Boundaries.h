// options.ini: the address-bar rectangle kept from one run to the next.
#pragma once

#include <string>

#include "framework/Desktop.h"

constexpr const char* kBoundariesFile = "options.ini";

// The whole file for a rectangle: bottom, left, right, top, one "key=value" line each.
std::string FormatBoundaries(const desktop::Rect& rect);
// Reads the file at `path` into `rect`; false (and `rect` untouched) when it cannot be opened.
bool ReadBoundaries(const char* path, desktop::Rect& rect);
// Replaces the file at `path` in one step; false when it could not be written.
bool WriteBoundaries(const char* path, const desktop::Rect& rect);
