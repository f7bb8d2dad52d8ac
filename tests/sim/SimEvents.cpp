// Reading the record of the simulated desktop: filters, the key log, the text
// that the keys typed, and one-line descriptions for failure messages.
#include <algorithm>
#include <cstdio>

#include "tests/sim/SimDesktop.h"

namespace sim {
namespace {

// Which modifiers the key events so far hold down.
struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;

    // True when the event was a modifier's.
    bool Track(const Event& e) {
        const bool down = e.kind == Kind::KeyDown;
        switch (e.vk) {
        case desktop::kVkShift: shift = down; return true;
        case desktop::kVkControl: ctrl = down; return true;
        case desktop::kVkMenu: alt = down; return true;
        default: return false;
        }
    }
};

// The printable character that a key press makes on a US layout, or 0; for naming keys.
char UsCharOfKey(uint8_t vk, bool shift) {
    const char16_t c = CharOfKey(vk, shift ? 1 : 0, false, Layout::kUs).c;
    return c >= 0x20 && c < 0x7F ? static_cast<char>(c) : 0;
}

// What the windows that get the key events make of them, one event at a
// time: the modifiers held, a dead key waiting for the next character.
class Receiver {
public:
    // The UTF-16 units that the event makes; none for most.
    std::u16string Feed(const Event& e) {
        if (e.kind == Kind::CharDown) return Flush() + static_cast<char16_t>(e.utf16);
        if (e.kind != Kind::KeyDown && e.kind != Kind::KeyUp) return u"";
        if (mods_.Track(e) || e.kind == Kind::KeyUp) return u"";
        if (mods_.ctrl != mods_.alt) return u"";  // a shortcut, not a character; both together are AltGr
        const uint8_t state = static_cast<uint8_t>((mods_.shift ? 1 : 0) | (mods_.ctrl ? 2 : 0) | (mods_.alt ? 4 : 0));
        const desktop::KeyMeaning m = CharOfKey(e.vk, state, e.capsLock, e.layout);
        if (m.c == 0) return u"";
        if (m.dead) {
            const std::u16string waiting = Flush();
            if (!waiting.empty()) return waiting + m.c;  // two dead keys: both come out
            dead_ = m.c;
            return u"";
        }
        if (dead_ == 0) return std::u16string(1, m.c);
        const char16_t composed = Compose(dead_, m.c);
        const std::u16string out = composed ? std::u16string(1, composed) : Flush() + m.c;
        dead_ = 0;
        return out;
    }

private:
    std::u16string Flush() {
        std::u16string out = dead_ ? std::u16string(1, dead_) : u"";
        dead_ = 0;
        return out;
    }

    Modifiers mods_;
    char16_t dead_ = 0;
};

bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u < 0xDC00; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u < 0xE000; }

// Code points, a surrogate pair joined into one; a lone surrogate stays as it is.
std::u32string CodePoints(const std::u16string& text) {
    std::u32string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            out += static_cast<char32_t>(0x10000 + ((text[i] - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Valid UTF-8 only, as the tests write it.
std::u32string FromUtf8(const std::string& text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        const int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < text.size(); ++k) c = (c << 6) | (text[i + k] & 0x3F);
        out += c;
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

std::string Hex(unsigned value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, value);
    return buf;
}

std::string WindowName(Window w) {
    if (!Exists(w)) return w ? "gone window" : "no window";
    const SimWindow& sw = Win(w);
    if (sw.child) return "#" + std::to_string(sw.id);
    return "'" + sw.text + "'";
}

std::string PointText(Point p) { return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")"; }

}  // namespace

std::string Utf8(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool IsInput(Kind k) {
    switch (k) {
    case Kind::LeftDown:
    case Kind::LeftUp:
    case Kind::Wheel:
    case Kind::KeyDown:
    case Kind::KeyUp:
    case Kind::CharDown:
    case Kind::CharUp:
    case Kind::CursorSet: return true;
    default: return false;
    }
}

std::vector<Event> Only(const std::vector<Event>& events, std::initializer_list<Kind> kinds) {
    std::vector<Event> out;
    for (const Event& e : events) {
        if (std::find(kinds.begin(), kinds.end(), e.kind) != kinds.end()) out.push_back(e);
    }
    return out;
}

std::vector<Event> InputEvents(const std::vector<Event>& events) {
    std::vector<Event> out;
    for (const Event& e : events) {
        if (IsInput(e.kind)) out.push_back(e);
    }
    return out;
}

std::vector<Event> KeyEvents(const std::vector<Event>& events) {
    return Only(events, {Kind::KeyDown, Kind::KeyUp, Kind::CharDown, Kind::CharUp});
}

std::vector<Point> Moves(const std::vector<Event>& events) {
    std::vector<Point> out;
    for (const Event& e : Only(events, {Kind::CursorSet})) out.push_back(e.pos);
    return out;
}

std::vector<Point> Steps(Point from, const std::vector<Event>& events) {
    std::vector<Point> out;
    for (const Point& p : Moves(events)) {
        out.push_back(Point{p.x - from.x, p.y - from.y});
        from = p;
    }
    return out;
}

std::vector<uint32_t> Sleeps(const std::vector<Event>& events) {
    std::vector<uint32_t> out;
    for (const Event& e : Only(events, {Kind::Sleep})) out.push_back(e.ms);
    return out;
}

uint64_t SleptMs(const std::vector<Event>& events) {
    uint64_t total = 0;
    for (uint32_t ms : Sleeps(events)) total += ms;
    return total;
}

std::vector<Event> MergeSleeps(const std::vector<Event>& events) {
    std::vector<Event> out;
    for (const Event& e : events) {
        if (e.kind == Kind::Sleep && !out.empty() && out.back().kind == Kind::Sleep) {
            out.back().ms += e.ms;
        } else {
            out.push_back(e);
        }
    }
    return out;
}

std::vector<Event> TextsOf(Window window, const std::vector<Event>& events) {
    std::vector<Event> out;
    for (const Event& e : Only(events, {Kind::TextSet})) {
        if (e.window == window) out.push_back(e);
    }
    return out;
}

std::string KeyName(uint8_t vk) {
    switch (vk) {
    case 0x08: return "Back";
    case 0x09: return "Tab";
    case 0x0D: return "Return";
    case 0x10: return "Shift";
    case 0x11: return "Ctrl";
    case 0x12: return "Alt";
    case 0x1B: return "Esc";
    case 0x20: return "Space";
    case 0x23: return "End";
    case 0x24: return "Home";
    case 0x25: return "Left";
    case 0x26: return "Up";
    case 0x27: return "Right";
    case 0x28: return "Down";
    case 0x2E: return "Delete";
    default: break;
    }
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, static_cast<char>(vk));
    if (const char c = UsCharOfKey(vk, false)) return std::string(1, c);
    return "0x" + Hex(vk, 2);
}

std::string KeyLog(const std::vector<Event>& events) {
    std::string log;
    for (const Event& e : KeyEvents(events)) {
        if (!log.empty()) log += ' ';
        const bool down = e.kind == Kind::KeyDown || e.kind == Kind::CharDown;
        log += down ? '+' : '-';
        if (e.kind == Kind::CharDown || e.kind == Kind::CharUp) {
            log += "U+" + Hex(e.utf16, 4);
        } else {
            log += KeyName(e.vk);
            if (e.extended) log += '*';
        }
    }
    return log;
}

std::string Utf8(const std::u16string& text) { return Utf8(CodePoints(text)); }

std::u16string Utf16(const std::string& utf8) {
    std::u16string units;
    for (const char32_t c : FromUtf8(utf8)) {
        if (c <= 0xFFFF) {
            units += static_cast<char16_t>(c);
        } else {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return units;
}

std::string TypedText(const std::vector<Event>& events) {
    std::u16string text;
    Receiver receiver;
    for (const Event& e : events) text += receiver.Feed(e);
    return Utf8(text);
}

FieldState ReplayIntoField(const std::vector<Event>& events, const std::string& initial, const Completion& complete) {
    FieldState field;
    std::u32string text = FromUtf8(initial);
    size_t caret = text.size();
    size_t anchor = caret;  // the other end of the selection
    Modifiers mods;
    Receiver receiver;
    std::u16string units;  // characters made and not yet put in: half a surrogate pair
    auto eraseSelection = [&] {
        const size_t from = std::min(anchor, caret);
        text.erase(from, std::max(anchor, caret) - from);
        caret = anchor = from;
    };
    auto moveCaret = [&](size_t to) {
        caret = std::min(to, text.size());
        if (!mods.shift) anchor = caret;
    };
    for (const Event& e : events) {
        if (complete && e.kind == Kind::LeftUp) {
            anchor = 0;
            caret = text.size();
            continue;
        }
        units += receiver.Feed(e);
        if (!units.empty() && !IsHighSurrogate(units.back())) {
            for (char32_t c : CodePoints(units)) {
                eraseSelection();
                text.insert(caret, 1, c);
                anchor = ++caret;
                if (complete && caret == text.size()) {
                    text += FromUtf8(complete(Utf8(text)));
                    caret = text.size();  // the completion is selected, the caret after it
                }
            }
            units.clear();
            continue;
        }
        if (e.kind == Kind::KeyDown || e.kind == Kind::KeyUp) mods.Track(e);
        if (e.kind != Kind::KeyDown || mods.ctrl || mods.alt) continue;
        switch (e.vk) {
        case desktop::kVkHome: moveCaret(0); break;
        case desktop::kVkEnd: moveCaret(text.size()); break;
        case 0x25: moveCaret(caret > 0 ? caret - 1 : 0); break;  // Left
        case 0x27: moveCaret(caret + 1); break;                  // Right
        case desktop::kVkDelete:
            if (anchor == caret && caret < text.size()) ++anchor;
            eraseSelection();
            break;
        case desktop::kVkBack:
            if (anchor == caret && caret > 0) --anchor;
            eraseSelection();
            break;
        case desktop::kVkReturn: field.submitted.push_back(Utf8(text)); break;
        default: break;
        }
    }
    field.text = Utf8(text);
    return field;
}

std::string Describe(const Event& e) {
    std::string what;
    switch (e.kind) {
    case Kind::LeftDown: what = "left button down"; break;
    case Kind::LeftUp: what = "left button up"; break;
    case Kind::Wheel: what = "wheel " + std::to_string(e.delta); break;
    case Kind::KeyDown:
    case Kind::KeyUp:
        what = std::string(e.kind == Kind::KeyDown ? "key down " : "key up ") + KeyName(e.vk) +
               (e.extended ? "*" : "");
        break;
    case Kind::CharDown:
    case Kind::CharUp:
        what = std::string(e.kind == Kind::CharDown ? "char down U+" : "char up U+") + Hex(e.utf16, 4);
        break;
    case Kind::CursorSet:
        what = "cursor to " + PointText(e.pos) + (e.landed != e.pos ? ", landed at " + PointText(e.landed) : "");
        break;
    case Kind::Sleep: what = "sleep " + std::to_string(e.ms) + " ms"; break;
    case Kind::Foreground: what = "foreground " + WindowName(e.window) + (e.on ? "" : " (refused)"); break;
    case Kind::Attach:
        what = std::string(e.on ? "attach " : "detach ") + std::to_string(e.fromThread) + " to " +
               std::to_string(e.toThread);
        break;
    case Kind::Restore:
        what = "restore " + WindowName(e.window);
        break;
    case Kind::TextSet: what = "text of " + WindowName(e.window) + " = \"" + e.text + "\""; break;
    case Kind::ShowSet: what = std::string(e.on ? "show " : "hide ") + WindowName(e.window); break;
    case Kind::FocusSet: what = "focus " + WindowName(e.window); break;
    case Kind::SelectAll: what = "select all of " + WindowName(e.window); break;
    case Kind::Repaint: what = "repaint " + WindowName(e.window); break;
    case Kind::TimerSet:
        what = "timer " + std::to_string(e.timerId) + " every " + std::to_string(e.ms) + " ms";
        break;
    case Kind::TimerKill: what = "kill timer " + std::to_string(e.timerId) + (e.on ? "" : " (not running)"); break;
    case Kind::MessageBox: what = "message box '" + e.caption + "': \"" + e.text + "\""; break;
    case Kind::Hang:
        what = "waited " + (e.ms == UINT32_MAX ? std::string("for ever") : std::to_string(e.ms) + " ms") +
               " for hung thread " + std::to_string(e.toThread);
        break;
    }
    return std::to_string(e.atMs) + " ms: " + what;
}

std::string Describe(const std::vector<Event>& events) {
    std::string out;
    for (const Event& e : events) out += Describe(e) + "\n";
    return out;
}

}  // namespace sim
