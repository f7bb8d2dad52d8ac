#include "framework/ToolTipCtrl.h"

#include <commctrl.h>
#include <uxtheme.h>

CToolTipCtrl::~CToolTipCtrl() {
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
}

bool CToolTipCtrl::Create(HWND owner) {
    m_hOwner = owner;
    m_hWnd = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleA(nullptr),
                             nullptr);
    // A themed tooltip paints with the theme's colours and ignores ours.
    if (m_hWnd) SetWindowTheme(m_hWnd, L"", L"");
    return m_hWnd != nullptr;
}

void CToolTipCtrl::Activate(bool active) { SendMessageA(m_hWnd, TTM_ACTIVATE, active, 0); }

void CToolTipCtrl::SetTipTextColor(COLORREF color) {
    SendMessageA(m_hWnd, TTM_SETTIPTEXTCOLOR, color, 0);
}

void CToolTipCtrl::SetTipBkColor(COLORREF color) { SendMessageA(m_hWnd, TTM_SETTIPBKCOLOR, color, 0); }

void CToolTipCtrl::SetDelayTime(DWORD which, int ms) {
    SendMessageA(m_hWnd, TTM_SETDELAYTIME, which, MAKELPARAM(ms, 0));
}

void CToolTipCtrl::AddTool(HWND control, const char* text) {
    TOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_hOwner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(m_hWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CToolTipCtrl::RelayEvent(MSG* msg) {
    if (m_hWnd) SendMessageA(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}
