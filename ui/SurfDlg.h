// The main dialog: the program's only main window. Its behaviour apart from the
// window system lives in CSurfer (ui/Surfer.h); this class adds the window,
// the splash, the tooltips, the links and the icon.
#pragma once

#include <string>

#include "framework/Dialog.h"
#include "framework/ToolTipCtrl.h"
#include "ui/Surfer.h"

class CSurfDlg : public CDialog, public CSurfer {
public:
    CSurfDlg();
    ~CSurfDlg() override;

    desktop::Window DialogWindow() const override { return m_hWnd; }
    bool UpdateData(bool saveAndValidate) override { return CSurfer::UpdateData(saveAndValidate); }

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DoDataExchange(CDataExchange& dx) override { CSurfer::DoDataExchange(dx); }
    BOOL OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    bool OnCommand(int id, int code);
    void CreateToolTips();
    void ShowSplash();
    bool OpenLink(const std::string& target);
    bool PaintMinimised();

    CToolTipCtrl m_toolTip;
    HICON m_hIcon;
};
