// Waiting while watching the user: the only way a visit or a trace waits.
#pragma once

#include <cstdint>
#include <functional>

// Sleeps `ms` in 5 ms slices, calling `refresh` first and every 100 slices
// (nothing else paints while the dialog's thread waits). 1 when the user took
// the mouse, or while the user is watched (desktop::WatchUser) pressed a key
// or a button or turned the wheel; else 0.
int WatchfulWait(uint32_t ms, const std::function<void()>& refresh);
