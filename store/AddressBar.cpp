#include "store/AddressBar.h"

#include "store/Boundaries.h"

void CAddressBar::LoadBoundaries() {
    if (!ReadBoundaries(kBoundariesFile, m_rect)) Record(desktop::CursorClip());
}

void CAddressBar::Record(const desktop::Rect& rect) {
    m_rect = rect;
    SaveBoundaries();
}

void CAddressBar::SaveBoundaries() const { WriteBoundaries(kBoundariesFile, m_rect); }
