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
    void Load();
    // A new rectangle, saved at once. A folder that cannot be written keeps it
    // in memory only.
    void Record(const desktop::Rect& rect);

private:
    desktop::Rect m_rect;
};
