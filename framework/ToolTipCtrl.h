// A tooltip control that explains the controls of one dialog. The tools are not
// subclassed, so the dialog relays its mouse messages (RelayEvent).
#pragma once

#include <windows.h>

class CToolTipCtrl {
public:
    CToolTipCtrl() = default;
    CToolTipCtrl(const CToolTipCtrl&) = delete;
    CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;
    ~CToolTipCtrl();

    bool Create(HWND owner);
    void Activate(bool active);
    void SetTipTextColor(COLORREF color);
    void SetTipBkColor(COLORREF color);
    void SetDelayTime(DWORD which, int ms);
    // A tool identified by the control's window, in the owner's coordinates.
    void AddTool(HWND control, const char* text);
    void RelayEvent(MSG* msg);

private:
    HWND m_hWnd = nullptr;
    HWND m_hOwner = nullptr;
};
