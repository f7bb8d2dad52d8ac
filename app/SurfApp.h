// The application: its whole life is one modal run of the main dialog.
#pragma once

#include "framework/App.h"

class CSurfApp : public CWinApp {
public:
    BOOL InitInstance() override;
    bool OnCommand(UINT id) override;
};
