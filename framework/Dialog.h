// A dialog built from a template, run modally by a message loop of our own so
// that every message passes a pre-translate hook before the dialog manager
// sees it (the tooltips need this). Handlers are virtual member functions.
#pragma once

#include <windows.h>

#include "framework/DataExchange.h"

class CDialog {
public:
    // parent null: the application's main window, when there is one.
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    virtual ~CDialog();

    // Creates the dialog, runs it until it ends, destroys it; the ending result.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    // The help topic of this dialog: the resource help base plus its template id.
    DWORD HelpContext() const { return 0x20000 + m_nIDTemplate; }

    // Fields to controls (false) or controls to fields with validation (true).
    bool UpdateData(bool saveAndValidate = true);

    // Hook for every message of the modal loop; true when it was handled.
    // The base lets the dialog manager do the keyboard handling.
    virtual BOOL PreTranslateMessage(MSG* msg);

protected:
    virtual void DoDataExchange(CDataExchange& dx);
    // The base exchanges the fields toward the controls. True: the dialog
    // manager puts the focus on the first tab stop.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // The dialog's message map: true when handled, with `result` the dialog
    // procedure's answer. Unhandled commands IDOK and IDCANCEL reach OnOK and
    // OnCancel, everything else the dialog manager's default processing.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    HWND ModalOwner() const;

    UINT m_nIDTemplate;
    HWND m_hParent;
    bool m_bEnded = false;
    INT_PTR m_nResult = IDCANCEL;
};
