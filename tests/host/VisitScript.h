// A page visit told back the way a person watching the screen would tell it,
// read from the simulated desktop's record: the browser comes to the front, the
// cursor glides, the button clicks, keys are typed, the program waits, the wheel
// turns, the next visit is scheduled. The status line's own events (texts,
// show and hide, its timer) are left out, so a wait is one step however often
// it refreshed the status line. Two glides with nothing between them read as one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/sim/SimDesktop.h"

namespace visit {

enum class Act { Front, Glide, Click, Keys, Wait, Wheel, Timer };

struct Step {
    Act act = Act::Wait;
    uint64_t atMs = 0;                // when it began
    desktop::Window window = nullptr;  // Front
    desktop::Point to;                // Glide: where its last move went
    uint32_t moves = 0;               // Glide
    uint32_t pauseMs = 0;             // Glide: the pause after each move (0 when they differ)
    std::string keys;                 // Keys: sim::KeyLog of the group
    std::string typed;                // Keys: the characters the group types
    uint32_t ms = 0;                  // Wait: time slept; Timer: its period
    int32_t delta = 0;                // Wheel
    uintptr_t timerId = 0;            // Timer

    // One line: "front Browser", "glide to (120, 60): 100 moves of 5 ms",
    // "click", "type h", "keys +Home* -Home*", "wait 435", "wheel -240",
    // "timer 101 in 12000 ms".
    std::string Text() const {
        switch (act) {
        case Act::Front: return "front " + sim::Text(window);
        case Act::Glide:
            return "glide to (" + std::to_string(to.x) + ", " + std::to_string(to.y) + "): " +
                   std::to_string(moves) + " moves of " + std::to_string(pauseMs) + " ms";
        case Act::Click: return "click";
        case Act::Keys: return typed.empty() ? "keys " + keys : "type " + typed;
        case Act::Wait: return "wait " + std::to_string(ms);
        case Act::Wheel: return "wheel " + std::to_string(delta);
        case Act::Timer: return "timer " + std::to_string(timerId) + " in " + std::to_string(ms) + " ms";
        }
        return "?";
    }
};

inline std::vector<Step> ReadVisit(const std::vector<sim::Event>& events) {
    using sim::Kind;
    std::vector<Step> steps;
    std::vector<sim::Event> keyGroup;
    bool afterMove = false;  // the previous event counted was a glide's move

    auto begin = [&](Act act, uint64_t at) -> Step& {
        steps.push_back(Step{});
        steps.back().act = act;
        steps.back().atMs = at;
        return steps.back();
    };
    auto current = [&](Act act) { return !steps.empty() && steps.back().act == act; };

    for (const sim::Event& e : events) {
        const bool isKey = e.kind == Kind::KeyDown || e.kind == Kind::KeyUp || e.kind == Kind::CharDown ||
                           e.kind == Kind::CharUp;
        if (isKey) {
            if (keyGroup.empty()) begin(Act::Keys, e.atMs);
            keyGroup.push_back(e);
            steps.back().keys = sim::KeyLog(keyGroup);
            steps.back().typed = sim::TypedText(keyGroup);
            afterMove = false;
            continue;
        }
        switch (e.kind) {
        case Kind::CursorSet: {
            Step& glide = (current(Act::Glide) && !afterMove) ? steps.back() : begin(Act::Glide, e.atMs);
            glide.to = e.pos;
            ++glide.moves;
            afterMove = true;
            break;
        }
        case Kind::Sleep:
            if (afterMove) {
                Step& glide = steps.back();
                glide.pauseMs = (glide.moves == 1 || glide.pauseMs == e.ms) ? e.ms : 0;
                afterMove = false;
                continue;  // the glide goes on with its next move, or ends
            } else {
                Step& wait = current(Act::Wait) ? steps.back() : begin(Act::Wait, e.atMs);
                wait.ms += e.ms;
            }
            break;
        case Kind::LeftDown: begin(Act::Click, e.atMs); break;
        case Kind::Wheel: begin(Act::Wheel, e.atMs).delta = e.delta; break;
        case Kind::Foreground: begin(Act::Front, e.atMs).window = e.window; break;
        case Kind::TimerSet:
            if (e.timerId == TIMER_STATUS) continue;
            {
                Step& timer = begin(Act::Timer, e.atMs);
                timer.timerId = e.timerId;
                timer.ms = e.ms;
            }
            break;
        default:
            continue;  // the status line, attachments, placements, the button's release
        }
        keyGroup.clear();
        if (e.kind != Kind::CursorSet) afterMove = false;
    }
    return steps;
}

inline std::vector<std::string> Lines(const std::vector<Step>& steps) {
    std::vector<std::string> lines;
    for (const Step& s : steps) lines.push_back(s.Text());
    return lines;
}

}  // namespace visit
