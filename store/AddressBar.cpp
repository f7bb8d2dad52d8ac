#include "store/AddressBar.h"

#include "store/Boundaries.h"

void CAddressBar::Load() {
    if (!ReadBoundaries(kBoundariesFile, m_rect)) Record(desktop::CursorClip());
}

void CAddressBar::Record(const desktop::Rect& rect) {
    m_rect = rect;
    WriteBoundaries(kBoundariesFile, m_rect);
}
