// The main dialog's session record: the state that the dialog's parts share,
// and the dialog window they act on. The parts build on it one above the
// other, each in a header of its own: the status line (ui/StatusLine.h), the
// calibration and trace (ui/Calibration.h), the page visit (ui/PageVisit.h),
// the surf session (ui/Session.h), and the dialog's handlers and data
// exchange (ui/Surfer.h), from which the dialog itself derives.
#pragma once

#include <cstdint>
#include <string>

#include "engine/Input.h"
#include "framework/Desktop.h"
#include "res/resource.h"
#include "store/AddressBar.h"

class CSessionRecord {
public:
    CSessionRecord() = default;
    CSessionRecord(const CSessionRecord&) = delete;
    CSessionRecord& operator=(const CSessionRecord&) = delete;
    virtual ~CSessionRecord() = default;

    enum : int32_t { kIdle = 0, kSurfing = 1 };  // the status line's modes

    uint32_t m_nPages = 0;           // pages surfed in the current session
    CAddressBar m_rcAddressBar;      // the browser's address bar, screen pixels
    int64_t m_tStart = 0;            // calendar time of the session's start
    int32_t m_nState = kIdle;        // the status line's mode
    desktop::Window m_hBrowser = nullptr;  // captured on a session's first page
    desktop::Rect m_rcBrowser;       // that window's rectangle, clipped to the screens
    char m_szTitle[40] = {};
    float m_fHours = 0.0f;           // hours to surf; 0 or less means no limit
    // The thread that owned m_hBrowser when it was captured. A handle outlives
    // its window and may come to name another program's; this tells them apart.
    uint32_t m_nBrowserThread = 0;
    // The browser's program: the one the address bar was recorded on, else the
    // program of the session's first page. No other program's window is ever
    // typed into, nor captured when the browser has gone.
    std::string m_strBrowser;
    uint32_t m_nUnreached = 0;  // visits in a row that could not type; the status line tells of several

    virtual desktop::Window DialogWindow() const = 0;
    // Exchanges m_fHours with IDC_HOURS; false when the text was refused.
    virtual bool UpdateData(bool saveAndValidate) = 0;

    void ActivateSelf() { ForceForeground(DialogWindow()); }

protected:
    desktop::Window Item(int id) const { return desktop::DialogItem(DialogWindow(), id); }
    // Whether a session runs: the Start/Stop button's caption alone records it.
    bool SessionRunning() const { return desktop::GetText(Item(IDOK)) != desktop::LoadText(IDS_START); }
};
