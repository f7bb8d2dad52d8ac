// The stand-in browser's event log: what it writes, what a test may ask of it,
// and a reader for tests. Portable, so that it needs nothing of the platform.
//
// The stand-in is started as
//     standin.exe LOGFILE [normal|maximized|minimized] [--at X Y] [--history FILE] [--stays-behind]
//                 [--drops N]
// The window, 640 x 240 pixels, has its top-left corner at (X, Y) of the
// screen, at (100, 100) unless told. FILE holds the addresses that the bar
// completes from, one a line in UTF-8, the most recent first; without it the
// history is empty. With --stays-behind
// the stand-in is a browser that cannot be brought to the front: a click does
// not activate it and does not reach it, and when it is activated all the
// same it hands the foreground back to the window that had it before. With
// --drops N the bar loses the N-th character typed after each click on it,
// as a busy browser may.
//
// It appends one line per event to LOGFILE, flushed at once, so that a test
// can read the file while the stand-in runs. Fields are separated by single
// spaces, numbers are decimal, every line ends in "\n":
//
//   ready <window> <bar>        once, after the window was created and shown;
//                               the handles of the top-level window and of its
//                               address bar (an EDIT control)
//   char <code>                 WM_CHAR reached the bar: one UTF-16 code unit
//   dropped <code>              (--drops) the bar lost that character
//   read <text>                 another thread asked the bar for its text
//                               (WM_GETTEXT), which was the rest of the line
//   keydown <vk> <scan> <ext>   WM_KEYDOWN or WM_SYSKEYDOWN reached the bar;
//   keyup <vk> <scan> <ext>     ext is 1 when the extended-key bit was set
//   complete <typed> <text>     the bar completed what was typed: the rest of
//                               the line is its whole text in UTF-8, of which
//                               all after the first <typed> UTF-16 code units
//                               is the completion, left selected
//   enter <text>                Enter went down in the bar and opened its
//                               whole text, the rest of the line, in UTF-8;
//                               the page has the keyboard focus afterwards
//   refused click               (--stays-behind) a click was kept out
//   refused front               (--stays-behind) the window was activated and
//                               hands the foreground back
//   wheel <delta>               WM_MOUSEWHEEL reached the bar, the page or the window
//   click <x> <y>               the left button went down on the bar, at that
//                               point of the screen
//   activate <state> <minimized> WM_ACTIVATE: 0 inactive, 1 active, 2 by click
//   activateapp <active>        WM_ACTIVATEAPP: 1 when the stand-in became the
//                               active application, 0 when it stopped being it
//   focus <has>                 the bar gained (1) or lost (0) the keyboard focus
//   placement <showCmd> <left> <top> <right> <bottom> <minX> <minY> <maxX> <maxY> <flags>
//                               the window's placement, on request
//
// Requests, posted or sent to the top-level window:
//   kRequestPlacement           write a "placement" line
//   kRequestShow (wParam = a ShowWindow command)
//                               show the window that way, then write a
//                               "placement" line; so a test can maximise or
//                               minimise the stand-in from inside its own process
//   kRequestFocusBar            give the bar the keyboard focus
//   kRequestHang (wParam = milliseconds)
//                               take no messages for that long, as a browser
//                               that hangs
#pragma once

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace standin {

// WM_APP (0x8000) and above are free for a window class's own messages.
enum : uint32_t {
    kRequestPlacement = 0x8001,
    kRequestShow = 0x8002,
    kRequestFocusBar = 0x8003,
    kRequestHang = 0x8004,
    kGiveBack = 0x8005,  // the stand-in's own, posted to itself
};

enum class Kind {
    Ready, Char, KeyDown, KeyUp, Complete, Enter, Refused, Wheel, Click, Activate, ActivateApp, Focus, Placement,
    Dropped, Read, Unknown
};

struct Event {
    Kind kind = Kind::Unknown;
    std::vector<int64_t> values;  // the numeric fields, in the order above
    std::string text;             // the text of a "complete", "enter", "read" or "refused" line

    int64_t Value(size_t i) const { return i < values.size() ? values[i] : 0; }
};

inline Kind KindOf(const std::string& word) {
    static const struct {
        const char* word;
        Kind kind;
    } kinds[] = {
        {"ready", Kind::Ready},       {"char", Kind::Char},
        {"keydown", Kind::KeyDown},   {"keyup", Kind::KeyUp},
        {"complete", Kind::Complete}, {"enter", Kind::Enter},
        {"refused", Kind::Refused},   {"wheel", Kind::Wheel},
        {"click", Kind::Click},
        {"activate", Kind::Activate}, {"activateapp", Kind::ActivateApp},
        {"focus", Kind::Focus},       {"placement", Kind::Placement},
        {"dropped", Kind::Dropped},   {"read", Kind::Read},
    };
    for (const auto& k : kinds)
        if (word == k.word) return k.kind;
    return Kind::Unknown;
}

inline Event ParseLine(const std::string& line) {
    Event e;
    size_t space = line.find(' ');
    e.kind = KindOf(line.substr(0, space));
    if (space == std::string::npos) return e;
    std::string rest = line.substr(space + 1);
    if (e.kind == Kind::Enter || e.kind == Kind::Refused || e.kind == Kind::Read) {
        e.text = rest;
        return e;
    }
    if (e.kind == Kind::Complete) {
        const size_t end = rest.find(' ');
        e.values.push_back(std::stoll(rest.substr(0, end)));
        e.text = end == std::string::npos ? std::string() : rest.substr(end + 1);
        return e;
    }
    std::istringstream fields(rest);
    int64_t v = 0;
    while (fields >> v) e.values.push_back(v);
    return e;
}

// Appends to `events` every complete line of the log after the first `read`
// bytes, and counts them into `read`; a line still being written is left for
// the next read.
inline void ReadLog(const std::string& path, size_t& read, std::vector<Event>& events) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(read));
    std::string line;
    while (std::getline(in, line)) {
        if (in.eof()) break;  // no "\n" yet
        read += line.size() + 1;
        events.push_back(ParseLine(line));
    }
}

inline std::vector<Event> OfKind(const std::vector<Event>& events, Kind kind) {
    std::vector<Event> out;
    for (const auto& e : events)
        if (e.kind == kind) out.push_back(e);
    return out;
}

// The characters that reached the bar, in order.
inline std::u16string CharsReceived(const std::vector<Event>& events) {
    std::u16string chars;
    for (const auto& e : events)
        if (e.kind == Kind::Char) chars.push_back(static_cast<char16_t>(e.Value(0)));
    return chars;
}

}  // namespace standin
