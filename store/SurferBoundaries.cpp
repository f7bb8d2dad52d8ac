// The address-bar rectangle of the session record and its file in the
// current directory.
#include "engine/Surfer.h"
#include "store/Boundaries.h"

void CSurfer::SaveBoundaries() {
    // A folder that cannot be written keeps the rectangle in memory only.
    WriteBoundaries(kBoundariesFile, m_rcAddressBar);
}

// A file that cannot be opened, gone since the last load for instance, is
// replaced by the cursor clip rectangle: normally the whole screen.
void CSurfer::LoadBoundaries() {
    if (ReadBoundaries(kBoundariesFile, m_rcAddressBar)) return;
    m_rcAddressBar = desktop::CursorClip();
    SaveBoundaries();
}

// Construction loads the file when it opens and otherwise creates it from the
// clip rectangle, which is exactly what loading does on its own.
void CSurfer::LoadOrCreateBoundaries() {
    LoadBoundaries();
}
