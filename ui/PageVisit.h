// One page visit: what a person does to make the browser show one more page,
// and the browser it is made in, captured on a session's first page.
#pragma once

#include <cstdint>
#include <string>

#include "engine/KeyGate.h"
#include "store/SiteList.h"
#include "ui/Calibration.h"

class CPageVisit : public CCalibration {
public:
    // The work of one TIMER_SURF tick. Throws CInterrupt (engine/Interrupt.h)
    // when the user takes the mouse during a guarded wait; otherwise arms the
    // next tick.
    void VisitPage();

protected:
    // A session starts without one: the window of an earlier session may have
    // closed, or be the user's now.
    void ForgetBrowser();

private:
    void FrontBrowser();
    desktop::Window SessionBrowser();  // the browser captured on this session's first page, if still there
    void CaptureBrowser();
    bool BrowserCaptured();  // false once the captured window has gone, which is then forgotten
    // Clicks at `at` and types; false when the keyboard was not, or stopped being, with the browser.
    bool TypeAddress(desktop::Point at);
    bool Unreached();  // counts a visit that could not type; false
    void ClearBar();
    void TypeUrl(const std::u32string& address);
    // Whether the bar holds `address`, once more typed if need be; false,
    // with the edit taken back, when it does not.
    bool AddressInBar(const std::u32string& address);
    void TypeTypo(char32_t meant);
    void Dwell();
    void ScrollBack();
    void Wander();
    void TurnWheel(int32_t delta);
    void PlainWait(uint32_t lo, uint32_t hi);
    // Throws CInterrupt when the user takes the mouse.
    void GuardedWait(uint32_t lo, uint32_t hi);

    CKeyGate m_keyGate;  // every key of a visit goes through it
};
