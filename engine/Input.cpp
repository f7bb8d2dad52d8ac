// Human-like input: glides, clicks, keys and bringing a window to the front,
// all through the desktop seam.
#include "engine/Input.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// Floor division, so that the glide's shares mean the same for coordinates
// left of or above the primary display as for the others.
int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int64_t Sign(int64_t v) { return v < 0 ? -1 : 1; }

int32_t ToCoordinate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// Without the extended-key flag Windows may take these three for the keypad's
// keys when Num Lock is on, and Shift+End would then type a digit.
bool IsExtendedKey(uint8_t vk) {
    return vk == desktop::kVkHome || vk == desktop::kVkEnd || vk == desktop::kVkDelete;
}

// The events of one call to the system.
class Strokes {
public:
    void Key(uint8_t vk, bool up) { Add(desktop::KeyStroke{vk, 0, up, IsExtendedKey(vk)}); }
    void Tap(uint8_t vk) {
        Key(vk, false);
        Key(vk, true);
    }
    void Unit(char16_t unit) {
        Add(desktop::KeyStroke{0, unit, false, false});
        Add(desktop::KeyStroke{0, unit, true, false});
    }
    // Modifiers go down Shift, Ctrl, Alt and come up in that same order.
    void Chord(uint8_t vk, bool shift, bool ctrl, bool alt) {
        if (shift) Key(desktop::kVkShift, false);
        if (ctrl) Key(desktop::kVkControl, false);
        if (alt) Key(desktop::kVkMenu, false);
        Tap(vk);
        if (shift) Key(desktop::kVkShift, true);
        if (ctrl) Key(desktop::kVkControl, true);
        if (alt) Key(desktop::kVkMenu, true);
    }
    bool Send() const { return desktop::SendKeys(m_strokes, m_count) == m_count; }

private:
    void Add(const desktop::KeyStroke& stroke) {
        if (m_count < kMost) m_strokes[m_count++] = stroke;
    }
    static constexpr size_t kMost = 10;  // a chord with all three modifiers
    desktop::KeyStroke m_strokes[kMost];
    size_t m_count = 0;
};

// The layout's shift state in the high byte of VkKeyScanExW's answer.
enum : uint8_t {
    kLayoutShift = 1,
    kLayoutCtrl = 2,
    kLayoutAlt = 4,
    kLayoutAltGr = kLayoutCtrl | kLayoutAlt,
};

// The UTF-16 units of a code point: one, or a surrogate pair.
std::u16string Units(char32_t c) {
    if (c <= 0xFFFF) return std::u16string(1, static_cast<char16_t>(c));
    const char32_t v = c - 0x10000;
    return {static_cast<char16_t>(0xD800 + (v >> 10)), static_cast<char16_t>(0xDC00 + (v & 0x3FF))};
}

// A stray tab, escape or line end in a URL must not move the focus or submit.
bool IsTyped(char32_t c) {
    const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
    const bool surrogate = c >= 0xD800 && c < 0xE000;
    return !control && !surrogate && c <= 0x10FFFF;
}

// The key and shift state that make `c` in `layout` now; false when none may.
// The layout names a key, and what that key makes with Caps Lock as it is
// confirms it: Caps Lock turns round the case of the keys it affects (which
// are not the same on every layout), answered by the other Shift state. A
// dead key is never pressed, as it would wait and combine with the next
// character; nor Ctrl or Alt alone, which make shortcuts, not characters.
bool KeysFor(char16_t c, const KeyboardState& keyboard, uint8_t& vk, uint8_t& state) {
    if (keyboard.composes) return false;
    const desktop::KeyboardLayout layout = keyboard.layout;
    const int16_t found = desktop::KeyForChar(c, layout);
    if (found == -1) return false;
    vk = static_cast<uint8_t>(found & 0xFF);
    const uint8_t named = static_cast<uint8_t>((found >> 8) & 0xFF);
    const uint8_t chord = named & kLayoutAltGr;
    if ((named & ~(kLayoutShift | kLayoutAltGr)) != 0 || (chord != 0 && chord != kLayoutAltGr)) return false;
    for (const uint8_t candidate : {named, static_cast<uint8_t>(named ^ kLayoutShift)}) {
        const desktop::KeyMeaning made = desktop::CharOfKey(vk, candidate, keyboard.capsLock, layout);
        if (!made.dead && made.c == c) {
            state = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace

int GlideCursor(int32_t x, int32_t y, uint32_t steps, uint32_t delay) {
    const desktop::Point start = desktop::GetCursorPos();
    desktop::Point reference = start;

    const int64_t dx = std::llabs(static_cast<int64_t>(start.x) - x);
    const int64_t dy = std::llabs(static_cast<int64_t>(start.y) - y);
    const int64_t n = std::min<int64_t>(steps, std::max(dx, dy));
    if (n == 0) return 0;

    // Differences of quotients, not the quotient of the difference; the
    // remainders then go to the first steps.
    const int64_t sx = FloorDiv(x, n) - FloorDiv(start.x, n);
    const int64_t sy = FloorDiv(y, n) - FloorDiv(start.y, n);
    const int64_t ex = x - n * sx - start.x;
    const int64_t ey = y - n * sy - start.y;
    const int64_t tx = std::llabs(sx) + 1;
    const int64_t ty = std::llabs(sy) + 1;

    for (int64_t i = 1; i <= n; ++i) {
        const int64_t extraX = (ex != 0 && i <= std::llabs(ex)) ? Sign(ex) : 0;
        const int64_t extraY = (ey != 0 && i <= std::llabs(ey)) ? Sign(ey) : 0;
        const desktop::Point p = desktop::GetCursorPos();
        // More movement since the last step than our own: somebody has the mouse.
        if (std::llabs(static_cast<int64_t>(p.x) - reference.x) > tx ||
            std::llabs(static_cast<int64_t>(p.y) - reference.y) > ty) {
            return 1;
        }
        reference = desktop::GetCursorPos();
        desktop::SetCursorPos(desktop::Point{ToCoordinate(p.x + sx + extraX), ToCoordinate(p.y + sy + extraY)});
        desktop::Sleep(delay);
    }
    return 0;
}

bool ClickLeft() { return desktop::SendClick(); }

bool TapKey(uint8_t vk) {
    Strokes keys;
    keys.Tap(vk);
    return keys.Send();
}

bool PressKey(uint32_t code) {
    Strokes keys;
    keys.Chord(static_cast<uint8_t>(code & 0xFF), (code & kWithShift) != 0, (code & kWithCtrl) != 0,
               (code & kWithAlt) != 0);
    return keys.Send();
}

bool PressBackspace(uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
        if (!TapKey(desktop::kVkBack)) return false;
    return true;
}

KeyboardState KeyboardOf(desktop::Window window) {
    const desktop::KeyboardLayout layout = desktop::LayoutOfWindow(window);
    // The open status is the surest sign of an input method at work, but not
    // every input method answers for it: the layout tells of those that may.
    const bool composes = desktop::LayoutComposes(layout) || desktop::InputMethodComposes(window);
    return KeyboardState{layout, desktop::CapsLockOf(window), composes};
}

bool TypeChar(char32_t c, const KeyboardState& keyboard) {
    if (!IsTyped(c)) return true;
    Strokes keys;
    if (c > 0xFFFF) {
        for (const char16_t unit : Units(c)) keys.Unit(unit);
        return keys.Send();
    }
    const char16_t unit = static_cast<char16_t>(c);
    uint8_t vk = 0, state = 0;
    if (KeysFor(unit, keyboard, vk, state)) {
        keys.Chord(vk, (state & kLayoutShift) != 0, (state & kLayoutCtrl) != 0, (state & kLayoutAlt) != 0);
    } else {
        keys.Unit(unit);
    }
    return keys.Send();
}

std::u16string TypedForm(const std::u32string& characters) {
    std::u16string units;
    for (const char32_t c : characters)
        if (IsTyped(c)) units += Units(c);
    return units;
}

void ForceForeground(desktop::Window window) {
    const uint32_t self = desktop::CurrentThreadId();
    const desktop::Window foreground = desktop::GetForegroundWindow();
    const uint32_t owner = foreground ? desktop::WindowThreadId(foreground) : 0;
    // The platform lets a thread take the foreground while its input is
    // attached to the thread that has it. Attaching to ourselves would fail,
    // and attached to a hung thread we would wait with it for as long as it hangs.
    const bool attached = owner != 0 && owner != self && !desktop::IsHungWindow(foreground) &&
                          desktop::AttachThreadInput(self, owner, true);
    desktop::SetForegroundWindow(window);
    if (attached) desktop::AttachThreadInput(self, owner, false);
}

void BringToFront(desktop::Window window) {
    ForceForeground(window);
    // Written back, a placement would move a snapped window to where it was
    // before the snap: only a minimised window is touched. Posted, as a
    // browser that hangs must not hang us.
    if (desktop::IsMinimized(window)) desktop::RestoreWindow(window);
}
