// The main dialog's corner read-outs and bringing the dialog to the front.
#include "engine/Input.h"
#include "engine/Surfer.h"
#include "res/resource.h"
#include "ui/CornerText.h"

void CSurfer::ShowCorners() {
    desktop::SetText(Item(IDC_TLC_POS), CornerText(m_rcAddressBar.left, m_rcAddressBar.top));
    desktop::SetText(Item(IDC_BRC_POS), CornerText(m_rcAddressBar.right, m_rcAddressBar.bottom));
}

void CSurfer::ActivateSelf() { ForceForeground(DialogWindow()); }
