// The main dialog's behaviour that does not depend on the window system: the
// session record and the operations that calibrate, count down, wait and surf.
// CSurfDlg (ui/SurfDlg.h) derives from it and supplies the dialog window and
// its data exchange; the host tests derive a dialog of the simulated desktop.
#pragma once

#include <cstdint>
#include <string>

#include "engine/KeyGate.h"
#include "framework/Desktop.h"

struct SiteEntry;

class CSurfer {
public:
    CSurfer() = default;
    CSurfer(const CSurfer&) = delete;
    CSurfer& operator=(const CSurfer&) = delete;
    virtual ~CSurfer() = default;

    // --- Session record -------------------------------------------------------
    uint32_t m_nPages = 0;           // pages surfed in the current session
    desktop::Rect m_rcAddressBar;    // the browser's address bar, screen pixels
    int64_t m_tStart = 0;            // calendar time of the session's start
    int32_t m_nState = 0;            // status mode: 0 idle, 1 surfing
    desktop::Window m_hBrowser = nullptr;  // captured on a session's first page
    desktop::Rect m_rcBrowser;       // that window's rectangle, clipped to the screens
    char m_szTitle[40] = {};
    float m_fHours = 0.0f;           // hours to surf; 0 or less means no limit
    // The thread that owned m_hBrowser when it was captured. A handle outlives
    // its window and may come to name another program's; this tells them apart.
    uint32_t m_nBrowserThread = 0;

    // --- The dialog around us ---------------------------------------------------
    virtual desktop::Window DialogWindow() const = 0;
    // Exchanges m_fHours with IDC_HOURS; false when the text was refused.
    virtual bool UpdateData(bool saveAndValidate) = 0;

    // --- Boundaries file (options.ini) -------------------------------------------
    void LoadBoundaries();
    void SaveBoundaries();
    void LoadOrCreateBoundaries();  // construction: load, or create from the clip rectangle

    // --- Main dialog ---------------------------------------------------------------
    void ShowCorners();
    void ActivateSelf();

    // --- Calibration and trace ------------------------------------------------------
    void OnSetCoordinates();
    void OnTrackTimer(uintptr_t id);  // TIMER_TRACK_TL, TIMER_TRACK_BR
    void TraceAddressBar();

    // --- Status line ------------------------------------------------------------------
    void RefreshStatus();

    // --- Waiting while watching the user ---------------------------------------------
    // 1 when the user took the mouse, else 0.
    int WatchfulWait(uint32_t ms);

    // --- Surf session and page visit ---------------------------------------------------
    void OnStartStop();
    void VisitPage();

    // --- Where the window system enters (engine/Handlers.cpp) ----------------------------
    // Every timer of the dialog, and the commands of the Start/Stop, calibration
    // and trace buttons; true when the id was one of ours. Nothing is thrown
    // out of them: whatever fails unexpectedly ends in the idle dialog.
    bool OnSurferTimer(uintptr_t id);
    bool OnSurferCommand(int id);

protected:
    desktop::Window Item(int id) const { return desktop::DialogItem(DialogWindow(), id); }

private:
    // --- Handlers (engine/Handlers.cpp) ---------------------------------------------------
    bool Guarded(bool (CSurfer::*handler)(uintptr_t), uintptr_t id);
    bool DispatchCommand(uintptr_t id);
    void RecoverFromFault();

    // --- Calibration (ui/Calibration.cpp) ---------------------------------------------------
    void AbandonCalibration();  // both buttons idle again, the live read-outs stopped

    // --- Surf session (engine/Session.cpp) ---------------------------------------------
    bool DispatchTimer(uintptr_t id);
    enum class SessionEnd { kTimeLimit, kInterrupted };
    bool SessionRunning() const;  // told by the Start/Stop button's caption
    void StartSession();
    void StopSession();
    void SurfTick();
    // elapsedSeconds: the time-limit test's figure; an interruption measures its own.
    void EndSession(SessionEnd reason, int64_t elapsedSeconds);

    // --- Page visit (engine/Visit.cpp) ----------------------------------------------------
    void FrontBrowser();
    desktop::Window SessionBrowser();  // the browser captured on this session's first page, if still there
    void CaptureBrowser();
    bool BrowserCaptured();  // false once the captured window has gone, which is then forgotten
    void ForgetBrowser();
    // Clicks at `at` and types; false when the keyboard was not, or stopped being, with the browser.
    bool TypeAddress(desktop::Point at);
    bool Unreached();        // counts a visit that could not type; false
    void TypeUrl(const SiteEntry& url);
    void TypeTypo(char32_t meant);
    void Dwell();
    void ScrollBack();
    void Wander();
    void PlainWait(uint32_t lo, uint32_t hi);
    // Throws CInterrupt (engine/Interrupt.h) when the user takes the mouse.
    void GuardedWait(uint32_t lo, uint32_t hi);

    // --- Keys only for the browser (engine/KeyGate.h) ---------------------------------------
    CKeyGate m_keyGate;
    uint32_t m_nUnreached = 0;  // visits in a row that could not type; the status line tells of several
};
