// The main dialog: the program's only main window. Its behaviour apart from the
// window system lives in CSurfer; this class adds the window, the tooltips, the
// links, the icon and the data exchange of the hours field.
#pragma once

#include <string>

#include "engine/Surfer.h"
#include "framework/Dialog.h"
#include "framework/ToolTipCtrl.h"

class CSurfDlg : public CDialog, public CSurfer {
public:
    CSurfDlg();
    ~CSurfDlg() override;

    desktop::Window DialogWindow() const override { return m_hWnd; }
    bool UpdateData(bool saveAndValidate) override { return CDialog::UpdateData(saveAndValidate); }

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DoDataExchange(CDataExchange& dx) override;
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
