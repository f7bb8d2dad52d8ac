// The characters that an entry of the site list stands for. Today's editors
// save UTF-8; older lists are in the system's ANSI code page, where a
// character may take two bytes.
#pragma once

#include <string>

// An entry that is valid UTF-8 and holds anything beyond ASCII reads as UTF-8;
// any other entry reads through the ANSI code page. One code point per
// character.
std::u32string EntryCharacters(const char* entry);
