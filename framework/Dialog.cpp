#include "framework/Dialog.h"

#include <string>

#include "framework/App.h"

CDialog::CDialog(UINT templateId, HWND parent) : m_nIDTemplate(templateId), m_hParent(parent) {}

CDialog::~CDialog() {
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
}

HWND CDialog::ModalOwner() const {
    HWND owner = m_hParent;
    if (!owner) {
        CWinApp* app = CWinApp::Current();
        if (app && app->m_pMainWnd && app->m_pMainWnd != this) owner = app->m_pMainWnd->GetSafeHwnd();
    }
    return owner ? GetAncestor(owner, GA_ROOT) : nullptr;
}

INT_PTR CDialog::DoModal() {
    CWinApp* app = CWinApp::Current();
    HINSTANCE instance = app ? app->m_hInstance : GetModuleHandleA(nullptr);
    HWND owner = ModalOwner();
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);

    m_bEnded = false;
    m_nResult = IDCANCEL;
    CreateDialogParamA(instance, MAKEINTRESOURCEA(m_nIDTemplate), owner, DialogProc,
                       reinterpret_cast<LPARAM>(this));

    MSG msg;
    while (!m_bEnded && m_hWnd && IsWindow(m_hWnd)) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit for the loop outside ours.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    // The owner is enabled before we go, so that activation returns to it.
    if (disableOwner) EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ShowWindow(m_hWnd, SW_HIDE);
        DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
    return m_nResult;
}

void CDialog::EndDialog(INT_PTR result) {
    m_nResult = result;
    m_bEnded = true;
    // Wakes the modal loop, which may be waiting for a message.
    if (m_hWnd) PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(m_hWnd, saveAndValidate);
    DoDataExchange(dx);
    return !dx.m_bFailed;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) { return IsDialogMessageA(m_hWnd, msg); }

void CDialog::DoDataExchange(CDataExchange&) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    if (OnMessage(msg, wParam, lParam, result)) return result;
    switch (msg) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
            if (CWinApp* app = CWinApp::Current()) return app->OnCommand(LOWORD(wParam));
            return FALSE;
        case WM_HELP:
            // F1: the standard help command goes to the application.
            if (CWinApp* app = CWinApp::Current()) return app->OnCommand(ID_HELP);
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    // No exception may unwind through the window manager's frames. Handlers
    // catch what they expect, and a dialog with state to repair guards its
    // own handlers; anything that still gets here leaves the message to the
    // default processing, and the program carries on.
    try {
        return self->Dispatch(msg, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}
