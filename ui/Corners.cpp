// The main dialog's corner read-outs and bringing the dialog to the front.
#include <cstdio>
#include <string>

#include "engine/Input.h"
#include "engine/Surfer.h"
#include "res/resource.h"

namespace {

std::string CornerText(int32_t x, int32_t y) {
    char text[32];
    std::snprintf(text, sizeof text, "( %i, %i )", static_cast<int>(x), static_cast<int>(y));
    return text;
}

}  // namespace

void CSurfer::ShowCorners() {
    desktop::SetText(Item(IDC_TLC_POS), CornerText(m_rcAddressBar.left, m_rcAddressBar.top));
    desktop::SetText(Item(IDC_BRC_POS), CornerText(m_rcAddressBar.right, m_rcAddressBar.bottom));
}

void CSurfer::ActivateSelf() { ForceForeground(DialogWindow()); }
