#include "store/AddressBar.h"

#include "store/Boundaries.h"

namespace {

// A virus scanner, the indexer or a synchronising client holds a file that
// was just written for a moment; the save waits that long for it.
constexpr int kSaveAttempts = 10;
constexpr uint32_t kSaveRetryMs = 100;

}  // namespace

void CAddressBar::LoadBoundaries() {
    // Once, not for a moment, as a folder that cannot be written would hold
    // up every press of Start; only what the user recorded is worth the wait.
    if (!m_saved) {
        m_saved = SaveBoundaries(1);
        return;
    }
    if (!ReadBoundaries(kBoundariesFile, m_rect, &m_browser)) {
        m_rect = desktop::CursorClip();
        m_browser.clear();
        SaveBoundaries(1);
    }
}

bool CAddressBar::Record(const desktop::Rect& rect, const std::string& browser) {
    m_rect = rect;
    if (!browser.empty()) m_browser = browser;
    m_saved = SaveBoundaries(kSaveAttempts);
    return m_saved;
}

bool CAddressBar::SaveBoundaries(int attempts) const {
    for (int attempt = 1;; ++attempt) {
        const desktop::FileResult result = WriteBoundaries(kBoundariesFile, m_rect, m_browser);
        if (result != desktop::FileResult::kBusy || attempt >= attempts)
            return result == desktop::FileResult::kDone;
        desktop::Sleep(kSaveRetryMs);
    }
}
