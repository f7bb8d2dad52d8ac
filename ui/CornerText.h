// How the dialog writes a screen point in its corner read-outs, both for the
// stored corners and for the cursor's live position: "( 112, 54 )".
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

inline std::string CornerText(int32_t x, int32_t y) {
    char text[32];
    std::snprintf(text, sizeof text, "( %i, %i )", static_cast<int>(x), static_cast<int>(y));
    return text;
}
