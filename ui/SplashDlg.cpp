#include "ui/SplashDlg.h"

#include "res/resource.h"

namespace {

constexpr UINT kSplashMs = 1450;

void CALLBACK CloseSplash(HWND hwnd, UINT, UINT_PTR, DWORD) { SendMessageA(hwnd, WM_CLOSE, 0, 0); }

}  // namespace

CSplashDlg::CSplashDlg(HWND parent) : CDialog(IDD_SPLASH, parent) {}

BOOL CSplashDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The template asks to be kept above all windows; not every platform
    // honours that for a dialog, so say it once more.
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Ends with the window; it fires at most once.
    SetTimer(m_hWnd, 0, kSplashMs, CloseSplash);
    return TRUE;
}

bool CSplashDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM, INT_PTR& result) {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_SPLASH_BITMAP && HIWORD(wParam) == STN_CLICKED) {
        OnCancel();
        result = TRUE;
        return true;
    }
    return false;
}
