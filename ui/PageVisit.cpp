// One page visit: what a person does to make the browser show one more page.
// Glide to the address bar, click, clear it, type the URL with human pauses
// and the odd erased typo, press Enter, let the page load, then read it for a
// while (wander, turn the wheel, sometimes scroll back) and schedule the next
// visit.
//
// The draws come in a fixed order, one per decision below; tests replay them.
#include "ui/PageVisit.h"

#include <algorithm>

#include "engine/Browser.h"
#include "engine/EntryText.h"
#include "engine/Input.h"
#include "engine/Interrupt.h"
#include "engine/UserWatch.h"
#include "framework/Random.h"

namespace {

constexpr const char* kSponsorsUrl = "http://" MAKER_WEB_HOST "/sponsors";

constexpr uint32_t kBarGlideSteps = 100;
constexpr uint32_t kBarGlideStepMs = 5;
constexpr int32_t kWheelNotch = 120;  // WHEEL_DELTA
constexpr int kMostEscapes = 3;

// Inclusive, as the draws of a point in it are, whichever way round its
// corners were recorded.
bool Contains(const desktop::Rect& r, desktop::Point p) {
    return p.x >= std::min(r.left, r.right) && p.x <= std::max(r.left, r.right) &&
           p.y >= std::min(r.top, r.bottom) && p.y <= std::max(r.top, r.bottom);
}

}  // namespace

void CPageVisit::VisitPage() {
    // The user's keys, buttons and wheel end the visit, as the mouse does.
    const CUserWatch watch;

    // 1. Front: on a session's first page there is no browser captured yet.
    FrontBrowser();

    // 2. Glide to the address bar.
    const desktop::Rect& bar = m_rcAddressBar.Rect();
    const int32_t y = RandomBetween(bar.top, bar.bottom);
    const int32_t x = RandomBetween(bar.left, bar.right);
    const bool stopped = GlideCursor(x, y, kBarGlideSteps, kBarGlideStepMs) != 0;
    const desktop::Point at = desktop::GetCursorPos();

    // A user who stopped the glide and goes on moving the mouse has taken it
    // back: watch for a moment. One nudge is forgiven.
    if (stopped) GuardedWait(200, 1000);

    // 3 to 9. Click, and type the address into the browser. Only where the
    // glide arrived: a nudge of the user's stops it wherever it is, over
    // whatever window lies there. That visit is the user's doing, not the
    // browser's: it counts neither a page nor a browser out of reach. A visit
    // that could not type counts no page either, and reads nothing.
    if (!stopped && Contains(bar, at) && TypeAddress(at)) {
        GuardedWait(15000, 25000);  // the page loads

        // 10. Read the page.
        const uint32_t cycles = m_nPages == 1 ? RandomRange(1, 2) : RandomRange(3, 5);
        for (uint32_t i = 0; i < cycles; ++i) Dwell();

        // 11. Now and then, scroll back up.
        if (RandomRange(0, 100) < 20) ScrollBack();
    }

    // 12. Re-arm: the gap to the next visit runs from this visit's end.
    desktop::SetTimer(DialogWindow(), TIMER_SURF, RandomRange(5000, 20000));
}

// Steps 3 to 9: click, clear the bar, choose the URL, type it and submit it.
// Every key goes through the gate: once the keyboard is not with the browser,
// no further key is sent and false returned, with no page counted.
bool CPageVisit::TypeAddress(desktop::Point at) {
    try {
        if (!m_keyGate.Aim(at, SessionBrowser(), m_strBrowser)) return Unreached();
        m_keyGate.Click();
        if (!m_keyGate.OpenAfterClick()) return Unreached();
        // A click that went to something else than a text that takes typing
        // (the page, a button, a tab) is no address bar. One that tells
        // nothing of itself is taken for it, as every browser was before.
        const desktop::AccessibleText clicked = m_keyGate.ReadBar();
        if (clicked.answered && !clicked.editable) return Unreached();
        m_nUnreached = 0;

        // 4 to 6. Clear the bar.
        ClearBar();

        // 7. Choose the URL.
        SiteEntry url;
        if (m_nPages != 0) {
            PickSite(url);
            // A browser that has gone since is captured anew, as on a first page.
            if (!BrowserCaptured()) CaptureBrowser();
        } else {
            url = ByteEntry(kSponsorsUrl);
            CaptureBrowser();
        }

        // 8. Type it.
        const std::u32string address = EntryCharacters(url);
        TypeUrl(address);

        // 9. Submit: the page counts from here, whatever happens later.
        // Today's address bars complete what was typed from their history and
        // leave the completion selected; Delete drops it, so Enter opens what
        // was typed, once the bar is seen to hold it.
        m_keyGate.PressKey(desktop::kVkDelete);
        if (!AddressInBar(address)) return Unreached();
        m_keyGate.PressKey(desktop::kVkReturn);
        ++m_nPages;
        return true;
    } catch (const CKeysElsewhere&) {
        return Unreached();
    }
}

bool CPageVisit::Unreached() {
    ++m_nUnreached;
    return false;
}

void CPageVisit::FrontBrowser() {
    if (const desktop::Window browser = SessionBrowser()) BringToFront(browser);
}

// On a session's first page there is none yet, whatever an earlier session left.
desktop::Window CPageVisit::SessionBrowser() {
    return m_nPages != 0 && BrowserCaptured() ? m_hBrowser : nullptr;
}

bool CPageVisit::BrowserCaptured() {
    if (!m_hBrowser) return false;
    const uint32_t thread = desktop::WindowThreadId(m_hBrowser);
    if (thread == 0 || thread != m_nBrowserThread) ForgetBrowser();
    return m_hBrowser != nullptr;
}

void CPageVisit::ForgetBrowser() {
    m_hBrowser = nullptr;
    m_nBrowserThread = 0;
}

// The browser is the top-level window under the cursor, which the glide left
// on the address bar, when it is a window of the browser's program. Taken once
// per session, and again only when it has gone: the rest of the session keeps
// it even if the user moves it.
void CPageVisit::CaptureBrowser() {
    const desktop::Window window = BrowserWindowAt(desktop::GetCursorPos());
    // Nothing there (or gone before it could be measured): carry on without.
    if (!MayBeBrowser(window, m_strBrowser)) return;
    desktop::Rect rect;
    const uint32_t thread = desktop::WindowThreadId(window);
    if (thread == 0 || !desktop::GetWindowRect(window, rect)) return;

    // Edges left of or above all the monitors are moved onto them, each on its
    // own (a maximised window's frame overhangs by a few pixels). So a browser
    // on a monitor left of or above the primary one keeps its rectangle, and
    // edges past the right or bottom stay: the cursor stops there anyway.
    const desktop::Rect screens = desktop::VirtualScreen();
    if (rect.left < screens.left) rect.left = screens.left;
    if (rect.right < screens.left) rect.right = screens.left;
    if (rect.top < screens.top) rect.top = screens.top;
    if (rect.bottom < screens.top) rect.bottom = screens.top;

    m_hBrowser = window;
    m_nBrowserThread = thread;
    m_rcBrowser = rect;
    if (m_strBrowser.empty()) m_strBrowser = desktop::ProgramOf(window);
}

// These pauses do not watch the user: one who goes on moving the mouse is
// caught by the first guarded wait, and one who presses a key by the next key
// of ours.
void CPageVisit::ClearBar() {
    m_keyGate.TapKey(desktop::kVkHome);
    PlainWait(200, 1000);
    m_keyGate.PressKey(kWithShift | desktop::kVkEnd);
    PlainWait(200, 1000);
    m_keyGate.PressKey(desktop::kVkDelete);
    PlainWait(200, 1000);
}

// A character at a time, whatever number of bytes it takes in the entry.
void CPageVisit::TypeUrl(const std::u32string& address) {
    for (const char32_t c : address) {
        if (RandomRange(1, 100) == 3) TypeTypo(c);
        m_keyGate.TypeChar(c);
        GuardedWait(50, 300);
    }
}

// The bar read back before Enter: what it holds must be the address drawn. A
// key that a busy browser dropped, an input method or a completion could have
// made it something else. Then it is cleared and given the address once more,
// as characters that no layout can change, without typos; if it still holds
// something else, Escape takes the edit back and no Enter follows. A bar that
// tells nothing is trusted, as before.
bool CPageVisit::AddressInBar(const std::u32string& address) {
    const std::u16string expected = TypedForm(address);
    const auto differs = [&expected](const desktop::AccessibleText& bar) {
        return bar.answered && bar.hasValue && bar.value != expected;
    };
    desktop::AccessibleText bar = m_keyGate.ReadBar();
    if (!differs(bar)) return true;

    ClearBar();
    for (const char32_t c : address) {
        m_keyGate.TypeAsCharacter(c);
        GuardedWait(50, 300);
    }
    m_keyGate.PressKey(desktop::kVkDelete);
    bar = m_keyGate.ReadBar();
    if (!differs(bar)) return true;

    // Until the bar gives the edit up: the first Escape may only close its
    // list of suggestions.
    for (int escapes = 0; escapes < kMostEscapes; ++escapes) {
        m_keyGate.TapKey(desktop::kVkEscape);
        const desktop::AccessibleText after = m_keyGate.ReadBar();
        if (!after.answered || after.value != bar.value) break;
    }
    return false;
}

// A wrong letter, noticed and erased. Never the letter that was meant, or it
// would be no typo. Delete first drops a completion the address bar may have
// selected after the letter, so that Backspace erases the letter itself.
void CPageVisit::TypeTypo(char32_t meant) {
    uint32_t letter;
    do {
        letter = RandomRange('a', 'z');
    } while (letter == meant);
    m_keyGate.TypeChar(letter);
    GuardedWait(300, 600);
    m_keyGate.PressKey(desktop::kVkDelete);
    m_keyGate.PressBackspace();
    GuardedWait(300, 600);
}

void CPageVisit::Dwell() {
    FrontBrowser();
    Wander();
    if (RandomRange(1, 100) < 70) {
        const int32_t notches = static_cast<int32_t>(RandomRange(1, 5));
        TurnWheel(-kWheelNotch * notches);
    }
    GuardedWait(20000, 38000);
}

void CPageVisit::ScrollBack() {
    FrontBrowser();
    if (RandomRange(1, 100) < 60) Wander();
    const int32_t notches = static_cast<int32_t>(RandomRange(1, 3));
    TurnWheel(kWheelNotch * notches);
    GuardedWait(5000, 10000);
}

// Through the gate: a turn that reached another program would change the
// value of its list or number field.
void CPageVisit::TurnWheel(int32_t delta) { CKeyGate::TurnWheel(SessionBrowser(), delta); }

void CPageVisit::Wander() {
    const uint32_t delay = RandomRange(3, 7);
    const uint32_t steps = RandomRange(60, 100);
    const int32_t y = RandomBetween(m_rcBrowser.top, m_rcBrowser.bottom);
    const int32_t x = RandomBetween(m_rcBrowser.left, m_rcBrowser.right);
    GlideCursor(x, y, steps, delay);
}

void CPageVisit::PlainWait(uint32_t lo, uint32_t hi) {
    WatchfulWait(RandomRange(lo, hi));
}

void CPageVisit::GuardedWait(uint32_t lo, uint32_t hi) {
    if (WatchfulWait(RandomRange(lo, hi))) throw CInterrupt();
}
