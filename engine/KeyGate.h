// Keys go only to the browser that was clicked. After the click in the address
// bar, the window that has the keyboard must be the top-level window under the
// click, and must still be before every key; never a window of our own. The
// keys of a visit are synthesised for whatever window has the keyboard, so
// without this a browser that did not come to the front (an elevated one, the
// lock screen, one that is busy or gone) would leave them to another program,
// where they could clear and overwrite what the user was writing.
#pragma once

#include "framework/Desktop.h"

class CKeyGate {
public:
    // After a click at `point`. Activation can land a moment after the click
    // returns, so this waits a little for it. False (and shut) when the
    // keyboard is not with the window clicked, or that window is ours or none.
    bool OpenAfterClick(desktop::Point point);
    // Whether the keyboard is still with the window clicked.
    bool Open() const;

private:
    desktop::Window m_hTarget = nullptr;
};
