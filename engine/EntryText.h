// The characters that an entry of the site list stands for. Today's editors
// save UTF-8, or UTF-16 as Notepad's "Unicode"; older lists are in the
// system's ANSI code page, where a character may take two bytes.
#pragma once

#include <string>

#include "store/SiteList.h"

// An entry in bytes that is valid UTF-8 and holds anything beyond ASCII reads
// as UTF-8; any other reads through the ANSI code page, up to a NUL it may
// hold. One code point per character.
std::u32string EntryCharacters(const SiteEntry& entry);
