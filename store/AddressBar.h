// The browser's address bar as the user recorded it, kept in options.ini from
// one run to the next: the one place where the rectangle is loaded, saved,
// recorded and read.
#pragma once

#include "framework/Desktop.h"

class CAddressBar {
public:
    const desktop::Rect& Rect() const { return m_rect; }

    // From the file. One that cannot be opened, missing or gone since the last
    // load, is made again from the cursor clip rectangle: normally the whole
    // screen.
    void LoadBoundaries();
    // A new rectangle, or one of its corners with the other kept, saved at
    // once. A folder that cannot be written keeps it in memory only.
    void Record(const desktop::Rect& rect);
    void RecordTopLeft(desktop::Point corner) { Record({corner.x, corner.y, m_rect.right, m_rect.bottom}); }
    void RecordBottomRight(desktop::Point corner) { Record({m_rect.left, m_rect.top, corner.x, corner.y}); }

private:
    void SaveBoundaries() const;

    desktop::Rect m_rect;
};
