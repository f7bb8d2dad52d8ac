// The keyboard layouts and code pages of the simulated desktop: what
// VkKeyScanExW, ToUnicodeEx and MultiByteToWideChar answer for each, as far as
// the tests need them.
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "tests/sim/SimDesktop.h"

namespace sim {
namespace {

// Shift states, as in the high byte of VkKeyScanExW's answer.
constexpr uint8_t kPlain = 0;
constexpr uint8_t kShifted = 1;
constexpr uint8_t kAltGr = 6;  // Ctrl+Alt

struct KeyChar {
    uint8_t vk;
    uint8_t state;
    char16_t c;
    bool dead;
};

struct LayoutTable {
    std::vector<KeyChar> keys;   // in the order VkKeyScanExW finds them: plain before shifted before AltGr
    std::set<uint8_t> capsKeys;  // the keys whose letters Caps Lock turns round
};

void Add(LayoutTable& t, uint8_t vk, uint8_t state, char16_t c, bool dead = false) {
    t.keys.push_back(KeyChar{vk, state, c, dead});
}

// Replaces what a key makes in one shift state.
void Change(LayoutTable& t, uint8_t vk, uint8_t state, char16_t c, bool dead = false) {
    for (KeyChar& k : t.keys) {
        if (k.vk == vk && k.state == state) {
            k.c = c;
            k.dead = dead;
            return;
        }
    }
    Add(t, vk, state, c, dead);
}

void AddLetters(LayoutTable& t) {
    for (char16_t c = u'a'; c <= u'z'; ++c) {
        const uint8_t vk = static_cast<uint8_t>(c - u'a' + 'A');
        Add(t, vk, kPlain, c);
        Add(t, vk, kShifted, static_cast<char16_t>(c - u'a' + u'A'));
        t.capsKeys.insert(vk);
    }
}

void AddDigits(LayoutTable& t, const char16_t (&shifted)[11]) {
    for (int d = 0; d < 10; ++d) {
        Add(t, static_cast<uint8_t>('0' + d), kPlain, static_cast<char16_t>(u'0' + d));
        Add(t, static_cast<uint8_t>('0' + d), kShifted, shifted[d]);
    }
}

LayoutTable Us() {
    LayoutTable t;
    Add(t, 0x20, kPlain, u' ');
    AddLetters(t);
    AddDigits(t, u")!@#$%^&*(");
    const struct {
        uint8_t vk;
        char16_t plain, shifted;
    } punctuation[] = {
        {0xBA, u';', u':'}, {0xBB, u'=', u'+'}, {0xBC, u',', u'<'}, {0xBD, u'-', u'_'},  {0xBE, u'.', u'>'},
        {0xBF, u'/', u'?'}, {0xC0, u'`', u'~'}, {0xDB, u'[', u'{'}, {0xDC, u'\\', u'|'}, {0xDD, u']', u'}'},
        {0xDE, u'\'', u'"'},
    };
    for (const auto& p : punctuation) {
        Add(t, p.vk, kPlain, p.plain);
        Add(t, p.vk, kShifted, p.shifted);
    }
    return t;
}

LayoutTable UsInternational() {
    LayoutTable t = Us();
    Change(t, 0xDE, kPlain, u'\'', true);
    Change(t, 0xDE, kShifted, u'"', true);
    Change(t, 0xC0, kPlain, u'`', true);
    Change(t, 0xC0, kShifted, u'~', true);
    Change(t, '6', kShifted, u'^', true);
    Add(t, 'Q', kAltGr, u'\u00E4');
    Add(t, 'E', kAltGr, u'\u00E9');
    Add(t, 'N', kAltGr, u'\u00F1');
    Add(t, 'S', kAltGr, u'\u00DF');
    Add(t, '5', kAltGr, u'\u20AC');
    return t;
}

LayoutTable German() {
    LayoutTable t;
    Add(t, 0x20, kPlain, u' ');
    AddLetters(t);
    AddDigits(t, u"=!\"\u00A7$%&/()");
    const struct {
        uint8_t vk;
        char16_t plain, shifted;
        bool deadPlain, deadShifted, caps;
    } keys[] = {
        {0xDB, u'\u00DF', u'?', false, false, false},  {0xDD, u'\u00B4', u'`', true, true, false},
        {0xBA, u'\u00FC', u'\u00DC', false, false, true}, {0xBB, u'+', u'*', false, false, false},
        {0xBF, u'#', u'\'', false, false, false},     {0xC0, u'\u00F6', u'\u00D6', false, false, true},
        {0xDE, u'\u00E4', u'\u00C4', false, false, true}, {0xDC, u'^', u'\u00B0', true, false, false},
        {0xBC, u',', u';', false, false, false},      {0xBE, u'.', u':', false, false, false},
        {0xBD, u'-', u'_', false, false, false},      {0xE2, u'<', u'>', false, false, false},
    };
    for (const auto& k : keys) {
        Add(t, k.vk, kPlain, k.plain, k.deadPlain);
        Add(t, k.vk, kShifted, k.shifted, k.deadShifted);
        if (k.caps) t.capsKeys.insert(k.vk);
    }
    const std::pair<uint8_t, char16_t> altGr[] = {
        {'2', u'\u00B2'}, {'3', u'\u00B3'}, {'7', u'{'},  {'8', u'['},  {'9', u']'},         {'0', u'}'},
        {'Q', u'@'},      {'E', u'\u20AC'}, {'M', u'\u00B5'}, {0xDB, u'\\'}, {0xBB, u'~'}, {0xE2, u'|'},
    };
    for (const auto& k : altGr) Add(t, k.first, kAltGr, k.second);
    return t;
}

const LayoutTable& Table(Layout layout) {
    static const std::map<Layout, LayoutTable> tables = {
        {Layout::kUs, Us()},
        {Layout::kUsInternational, UsInternational()},
        {Layout::kGerman, German()},
        {Layout::kJapanese, Us()},
    };
    return tables.at(layout);
}

// Windows-1252 0x80 to 0x9F; the five bytes it leaves undefined map to the C1
// control of the same value, as the platform's conversion does.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Code page 932: the double-byte characters the tests use. Others read as
// the code page's default character.
constexpr char16_t kDefault932 = 0x30FB;
const std::map<uint16_t, char16_t> kDoubleBytes932 = {
    {0x82A0, 0x3042},  // HIRAGANA LETTER A
    {0x835C, 0x30BD},  // KATAKANA LETTER SO, whose second byte is a backslash
    {0x8CEA, 0x8A9E},  // "language"
    {0x93FA, 0x65E5},  // "day"
    {0x967B, 0x672C},  // "book", whose second byte is a left brace
};

bool IsLead932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

char16_t Single932(unsigned char b) {
    if (b < 0x80) return b;
    if (b >= 0xA1 && b <= 0xDF) return static_cast<char16_t>(0xFF61 + (b - 0xA1));  // half-width katakana
    return kDefault932;
}

}  // namespace

int16_t KeyForChar(char16_t c, Layout layout) {
    for (const KeyChar& k : Table(layout).keys) {
        if (k.c == c) return static_cast<int16_t>((k.state << 8) | k.vk);
    }
    return -1;
}

desktop::KeyMeaning CharOfKey(uint8_t vk, uint8_t shiftState, bool capsLock, Layout layout) {
    const LayoutTable& t = Table(layout);
    // Caps Lock acts as Shift on the letters' keys, and there only without AltGr.
    if (capsLock && t.capsKeys.count(vk) && (shiftState & kAltGr) == 0) shiftState ^= kShifted;
    for (const KeyChar& k : t.keys) {
        if (k.vk == vk && k.state == shiftState) return desktop::KeyMeaning{k.c, k.dead};
    }
    return desktop::KeyMeaning{};
}

char16_t Compose(char16_t dead, char16_t c) {
    if (c == u' ') return dead;
    // What each dead key makes of the bases a e i o u n (0: nothing).
    static const std::map<char16_t, std::vector<char16_t>> accents = {
        {u'\'', {0xE1, 0xE9, 0xED, 0xF3, 0xFA, 0}}, {0xB4, {0xE1, 0xE9, 0xED, 0xF3, 0xFA, 0}},
        {u'`', {0xE0, 0xE8, 0xEC, 0xF2, 0xF9, 0}},   {u'^', {0xE2, 0xEA, 0xEE, 0xF4, 0xFB, 0}},
        {u'"', {0xE4, 0xEB, 0xEF, 0xF6, 0xFC, 0}},   {u'~', {0xE3, 0, 0, 0xF5, 0, 0xF1}},
    };
    const auto accent = accents.find(dead);
    const std::u16string bases = u"aeioun";
    const size_t i = bases.find(c);
    return accent != accents.end() && i != std::u16string::npos ? accent->second[i] : 0;
}

std::u16string AnsiToUtf16(const std::string& bytes, CodePage page) {
    std::u16string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (page == CodePage::k1252) {
            out += (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : static_cast<char16_t>(b);
        } else if (IsLead932(b) && i + 1 < bytes.size()) {
            const uint16_t pair = static_cast<uint16_t>((b << 8) | static_cast<unsigned char>(bytes[++i]));
            const auto it = kDoubleBytes932.find(pair);
            out += it != kDoubleBytes932.end() ? it->second : kDefault932;
        } else {
            out += IsLead932(b) ? kDefault932 : Single932(b);
        }
    }
    return out;
}

}  // namespace sim
