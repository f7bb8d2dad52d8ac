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

// The printable character that a key press makes on a US layout, or 0.
char CharOfKey(uint8_t vk, bool shift) {
    const int16_t wanted = static_cast<int16_t>((shift ? 0x100 : 0) | vk);
    for (int c = 0x20; c < 0x7F; ++c) {
        if (UsKeyForChar(static_cast<char>(c)) == wanted) return static_cast<char>(c);
    }
    return 0;
}

// The character a key or Unicode press produces, or 0 for none. Updates `mods`.
char Produced(const Event& e, Modifiers& mods) {
    if (e.kind == Kind::CharDown) return Utf16ToCp1252(e.utf16);
    if (e.kind != Kind::KeyDown && e.kind != Kind::KeyUp) return 0;
    if (mods.Track(e) || e.kind == Kind::KeyUp || mods.ctrl || mods.alt) return 0;
    return CharOfKey(e.vk, mods.shift);
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
    if (const char c = CharOfKey(vk, false)) return std::string(1, c);
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

std::string TypedText(const std::vector<Event>& events) {
    std::string text;
    Modifiers mods;
    for (const Event& e : events) {
        if (const char c = Produced(e, mods)) text += c;
    }
    return text;
}

FieldState ReplayIntoField(const std::vector<Event>& events, const std::string& initial, const Completion& complete) {
    FieldState field{initial, {}};
    std::string& text = field.text;
    size_t caret = text.size();
    size_t anchor = caret;  // the other end of the selection
    Modifiers mods;
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
        if (const char c = Produced(e, mods)) {
            eraseSelection();
            text.insert(caret, 1, c);
            anchor = ++caret;
            if (complete && caret == text.size()) {
                text += complete(text);
                caret = text.size();  // the completion is selected, the caret after it
            }
            continue;
        }
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
        case desktop::kVkReturn: field.submitted.push_back(text); break;
        default: break;
        }
    }
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
    case Kind::PlacementSet:
        what = "placement of " + WindowName(e.window) + ", show " + std::to_string(e.placement.showCmd);
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
    }
    return std::to_string(e.atMs) + " ms: " + what;
}

std::string Describe(const std::vector<Event>& events) {
    std::string out;
    for (const Event& e : events) out += Describe(e) + "\n";
    return out;
}

}  // namespace sim
