// The keyboard layout and code page of the simulated desktop: a US layout as
// VkKeyScanA answers for it, and Windows-1252 as the ANSI code page.
#include "tests/sim/SimDesktop.h"

#include <cstring>

namespace sim {
namespace {

constexpr int16_t kShift = 0x100;
constexpr int16_t kCtrl = 0x200;

// Punctuation of the US layout: unshifted and shifted character per key.
struct PunctuationKey {
    uint8_t vk;
    char plain;
    char shifted;
};
constexpr PunctuationKey kPunctuation[] = {
    {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'},  {0xBE, '.', '>'},
    {0xBF, '/', '?'}, {0xC0, '`', '~'}, {0xDB, '[', '{'}, {0xDC, '\\', '|'}, {0xDD, ']', '}'},
    {0xDE, '\'', '"'},
};

// Shift with the digit keys 0 to 9.
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

// Windows-1252 0x80 to 0x9F; the five bytes it leaves undefined map to the C1
// control of the same value, as the platform's conversion does.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Control characters: the keys that make them, Ctrl with a letter for most.
int16_t ControlKey(unsigned char c) {
    switch (c) {
    case 0x08: return 0x08;           // Backspace
    case 0x09: return 0x09;           // Tab
    case 0x0A: return kCtrl | 0x0D;   // Ctrl+Enter
    case 0x0D: return 0x0D;           // Enter
    case 0x1B: return 0x1B;           // Esc
    case 0x1C: return kCtrl | 0xDC;
    case 0x1D: return kCtrl | 0xDD;
    case 0x1E: return kCtrl | kShift | '6';
    case 0x1F: return kCtrl | kShift | 0xBD;
    case 0x00: return kCtrl | kShift | '2';
    case 0x7F: return kCtrl | 0x08;
    default: return static_cast<int16_t>(kCtrl | ('A' + c - 1));
    }
}

}  // namespace

int16_t UsKeyForChar(char ch) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') return static_cast<int16_t>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return static_cast<int16_t>(kShift | c);
    if (c >= '0' && c <= '9') return static_cast<int16_t>(c);
    if (c == ' ') return 0x20;
    if (const char* digit = c ? std::strchr(kShiftedDigits, c) : nullptr) {
        return static_cast<int16_t>(kShift | ('0' + (digit - kShiftedDigits)));
    }
    for (const auto& key : kPunctuation) {
        if (c == static_cast<unsigned char>(key.plain)) return key.vk;
        if (c == static_cast<unsigned char>(key.shifted)) return static_cast<int16_t>(kShift | key.vk);
    }
    if (c < 0x20 || c == 0x7F) return ControlKey(c);
    return -1;
}

uint16_t Cp1252ToUtf16(char ch) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 0x80 && c < 0xA0) return kHighControls[c - 0x80];
    return c;
}

char Utf16ToCp1252(uint16_t u) {
    for (int c = 0; c < 0x100; ++c) {
        if (Cp1252ToUtf16(static_cast<char>(c)) == u) return static_cast<char>(c);
    }
    return '?';
}

}  // namespace sim
