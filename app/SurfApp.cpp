#include "app/SurfApp.h"

#include <commctrl.h>
#include <mmsystem.h>

#include "ui/SurfDlg.h"

namespace {

// Waits are counted in 5 ms sleeps, which Windows stretches to its default
// timer tick of about 15.6 ms; ask for 1 ms while the program runs.
class FineTimerResolution {
public:
    FineTimerResolution() : m_granted(timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~FineTimerResolution() {
        if (m_granted) timeEndPeriod(1);
    }
    FineTimerResolution(const FineTimerResolution&) = delete;
    FineTimerResolution& operator=(const FineTimerResolution&) = delete;

private:
    bool m_granted;
};

}  // namespace

// The one application object; its name is the executable's.
CSurfApp theApp;

BOOL CSurfApp::InitInstance() {
    // The modern form of the 3-D look: the common controls of the manifest.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    FineTimerResolution fineTimer;
    CSurfDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // No message loop of our own: the process ends with the dialog.
    return FALSE;
}

bool CSurfApp::OnCommand(UINT id) {
    if (id != ID_HELP) return false;
    OnHelp();
    return true;
}
