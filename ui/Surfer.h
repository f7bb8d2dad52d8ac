// The main dialog's behaviour apart from the window system: where its timers
// and the commands of its buttons enter, and the data exchange of the hours
// field. CSurfDlg (ui/SurfDlg.h) derives from it and supplies the window; the
// host tests derive a dialog of the simulated desktop.
#pragma once

#include <cstdint>

#include "framework/DataExchange.h"
#include "ui/Session.h"

class CSurfer : public CSurfSession {
public:
    // Every timer of the dialog, and the commands of the Start/Stop,
    // calibration and trace buttons; true when the id was one of ours.
    // Nothing is thrown out of them: whatever fails unexpectedly ends in the
    // idle dialog.
    bool OnSurferTimer(uintptr_t id);
    bool OnSurferCommand(int id);

    bool UpdateData(bool saveAndValidate) override;

protected:
    // The hours field, a number from 0 to 10^10.
    void DoDataExchange(CDataExchange& dx);

private:
    bool DispatchTimer(uintptr_t id);
    bool DispatchCommand(uintptr_t id);
    // Runs a handler; an unexpected failure in it ends in RecoverFromFault.
    bool Contained(bool (CSurfer::*handler)(uintptr_t), uintptr_t id);
    void RecoverFromFault();
};
