// The user took the mouse back during a page visit. A guarded wait of the visit
// throws it, and only the surf tick catches it, so that the rest of the visit is
// abandoned at that point and the session ends with its summary.
//
// It carries nothing and is deliberately no std::exception, so that no handler
// meant for real failures can swallow it on the way.
#pragma once

#include <cstdint>

class CInterrupt {
public:
    // The code under which the interruption is known, as a software exception
    // code would be.
    static constexpr uint32_t kCode = 0x60000000;

    uint32_t Code() const { return kCode; }
};
