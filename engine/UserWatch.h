// The user's own input while a visit runs. The cursor tells of the mouse
// being moved; this tells of the rest: a key, a mouse button or the wheel of
// the user's ends the session as taking the mouse does, and so does a key of
// ours that would go out while the user holds a modifier, which would turn it
// into a shortcut.
#pragma once

#include "framework/Desktop.h"

// While it lives, the user's keys, buttons and wheel turns are counted.
class CUserWatch {
public:
    CUserWatch() { desktop::WatchUser(true); }
    ~CUserWatch() { desktop::WatchUser(false); }
    CUserWatch(const CUserWatch&) = delete;
    CUserWatch& operator=(const CUserWatch&) = delete;
};

// Whether the user pressed a key or a button or turned the wheel since the
// watch began, or holds a modifier now.
inline bool UserActs() { return desktop::UserInputs() != 0 || desktop::ModifierHeld(); }
