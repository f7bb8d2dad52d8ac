// The splash picture shown while the main dialog initialises.
#pragma once

#include "framework/Dialog.h"

class CSplashDlg : public CDialog {
public:
    explicit CSplashDlg(HWND parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
};
