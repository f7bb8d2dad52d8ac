#include "ui/SurfDlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <ctime>
#include <memory>

#include "framework/Random.h"
#include "res/resource.h"
#include "ui/SplashDlg.h"

namespace {

constexpr COLORREF kTipText = RGB(255, 255, 255);
constexpr COLORREF kTipBackground = RGB(64, 112, 176);
constexpr int kTipDelayMs = 500;

struct Tip {
    int controlId;
    UINT text;
};

constexpr Tip kTips[] = {
    {IDOK, IDS_TIP_START},
    {IDC_TRACE, IDS_TIP_TRACE},
    {IDC_SET_COORDS, IDS_TIP_SET_COORDINATES},
    {IDC_HOURS, IDS_TIP_HOURS},
    {IDC_WEB_LINK, IDS_TIP_WEB_LINK},
    {IDC_EMAIL_LINK, IDS_TIP_EMAIL_LINK},
    {IDC_TLC_LABEL, IDS_TIP_TLC},
    {IDC_BRC_LABEL, IDS_TIP_BRC},
};

}  // namespace

CSurfDlg::CSurfDlg() : CDialog(IDD_SURF_DIALOG) {
    m_hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN));
    // Made from the cursor clip rectangle when there is none.
    m_rcAddressBar.LoadBoundaries();
}

CSurfDlg::~CSurfDlg() = default;

BOOL CSurfDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SeedRandom(static_cast<uint32_t>(std::time(nullptr)));
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    CreateToolTips();
    ShowSplash();
    std::strncpy(m_szTitle, desktop::LoadText(IDS_TITLE).c_str(), sizeof m_szTitle - 1);
    SetWindowTextA(m_hWnd, m_szTitle);
    ShowCorners();
    ActivateSelf();
    return TRUE;
}

void CSurfDlg::CreateToolTips() {
    m_toolTip.Create(m_hWnd);
    m_toolTip.Activate(true);
    m_toolTip.SetTipTextColor(kTipText);
    m_toolTip.SetTipBkColor(kTipBackground);
    m_toolTip.SetDelayTime(TTDT_AUTOMATIC, kTipDelayMs);
    for (const Tip& tip : kTips) m_toolTip.AddTool(GetDlgItem(tip.controlId), desktop::LoadText(tip.text).c_str());
}

void CSurfDlg::ShowSplash() {
    auto splash = std::make_unique<CSplashDlg>(nullptr);
    splash->DoModal();
}

BOOL CSurfDlg::PreTranslateMessage(MSG* msg) {
    // The tools are not subclassed: this relay is how the tooltip sees the mouse.
    if (msg->hwnd == m_hWnd || IsChild(m_hWnd, msg->hwnd)) m_toolTip.RelayEvent(msg);
    return CDialog::PreTranslateMessage(msg);
}

bool CSurfDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM, INT_PTR& result) {
    switch (msg) {
        case WM_PAINT:
            return PaintMinimised();
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<INT_PTR>(m_hIcon);
            return true;
        case WM_COMMAND:
            if (!OnCommand(LOWORD(wParam), HIWORD(wParam))) return false;
            result = TRUE;
            return true;
        case WM_TIMER:
            // Every tick also goes on to the default processing.
            OnSurferTimer(wParam);
            return false;
        default:
            return false;
    }
}

bool CSurfDlg::OnCommand(int id, int code) {
    // BN_CLICKED and STN_CLICKED are the same notification code.
    if (code != BN_CLICKED) return false;
    if (OnSurferCommand(id)) return true;
    switch (id) {
        case IDC_WEB_LINK:
            return OpenLink("http://" MAKER_WEB_HOST);
        case IDC_EMAIL_LINK:
            return OpenLink("mailto:" MAKER_EMAIL);
        default:
            return false;
    }
}

bool CSurfDlg::OpenLink(const std::string& target) {
    ShellExecuteA(m_hWnd, "open", target.c_str(), "", "c:\\", SW_SHOWMAXIMIZED);
    return true;
}

bool CSurfDlg::PaintMinimised() {
    if (!IsIconic(m_hWnd)) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &ps);
    return true;
}
