#include "engine/EntryText.h"

#include <algorithm>

#include "framework/Desktop.h"

namespace {

// The code points of `text` when it is well-formed UTF-8 (no overlong forms,
// no surrogates, nothing past U+10FFFF), with whether any is beyond ASCII.
bool DecodeUtf8(const std::string& text, std::u32string& out, bool& beyondAscii) {
    out.clear();
    beyondAscii = false;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        // Continuation bytes after the lead, and the least code point that needs as many.
        size_t extra = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            extra = 0;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            extra = 1;
            least = 0x80;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            extra = 2;
            least = 0x800;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            extra = 3;
            least = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i <= extra) return false;  // cut short
        char32_t c = extra == 0 ? lead : lead & (0x7F >> (extra + 1));
        for (size_t k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return false;
        beyondAscii = beyondAscii || c >= 0x80;
        out += c;
        i += extra + 1;
    }
    return true;
}

// UTF-16 to code points, a surrogate pair joined into one; half of a pair
// alone is no character.
std::u32string CodePoints(const std::u16string& units) {
    std::u32string out;
    for (size_t i = 0; i < units.size(); ++i) {
        const char32_t u = units[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            out += 0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (u < 0xD800 || u >= 0xE000) {
            out += u;
        }
    }
    return out;
}

}  // namespace

std::u32string EntryCharacters(const SiteEntry& entry) {
    if (entry.encoding != EntryEncoding::kBytes) {
        std::u16string units;
        for (size_t i = 0; i + 1 < entry.length; i += 2) units += UnitAt(entry.bytes + i, entry.encoding);
        return CodePoints(units);
    }
    // Up to a NUL it may hold, as entries have always been read.
    const std::string bytes(entry.bytes, std::find(entry.bytes, entry.bytes + entry.length, '\0'));
    std::u32string characters;
    bool beyondAscii = false;
    if (DecodeUtf8(bytes, characters, beyondAscii) && beyondAscii) return characters;
    return CodePoints(desktop::AnsiToUtf16(bytes));
}
