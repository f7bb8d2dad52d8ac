// The browser's address bar as the user recorded it, and the program of the
// browser it was recorded on, kept in options.ini from one run to the next:
// the one place where they are loaded, saved, recorded and read.
#pragma once

#include <string>

#include "framework/Desktop.h"

class CAddressBar {
public:
    const desktop::Rect& Rect() const { return m_rect; }
    // The browser's program, as desktop::ProgramOf names it; empty when none
    // was recorded (a file from before, or corners recorded over no program).
    const std::string& Browser() const { return m_browser; }

    // From the file. One that cannot be opened, missing or gone since the last
    // load, is made again from the cursor clip rectangle: normally the whole
    // screen. What was recorded but could not be saved is newer than the file:
    // it is kept, and saved now if that can be done.
    void LoadBoundaries();
    // A new rectangle, or one of its corners with the other kept, saved at
    // once with the browser's program (`browser`, or the one before when that
    // is empty). False when it could not be saved; it is kept all the same.
    bool Record(const desktop::Rect& rect, const std::string& browser = std::string());
    bool RecordTopLeft(desktop::Point corner, const std::string& browser) {
        return Record({corner.x, corner.y, m_rect.right, m_rect.bottom}, browser);
    }
    bool RecordBottomRight(desktop::Point corner, const std::string& browser) {
        return Record({m_rect.left, m_rect.top, corner.x, corner.y}, browser);
    }
    // Whether the file holds what was last recorded.
    bool Saved() const { return m_saved; }

private:
    // Tries again while another program holds the file, up to `attempts` in all.
    bool SaveBoundaries(int attempts) const;

    desktop::Rect m_rect;
    std::string m_browser;
    bool m_saved = true;
};
