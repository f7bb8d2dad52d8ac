// The application object: one static instance per program, whose start-up hook
// the entry point runs. A stand-in for the part of a dialog application
// framework that this program needs, and no more.
#pragma once

#include <windows.h>

#include <string>

class CDialog;

// The framework's standard help command (F1).
constexpr UINT ID_HELP = 0xE146;

class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    static CWinApp* Current();

    // Start-up hook. True would ask for a message loop of the application's
    // own; a dialog application returns false once its main dialog has ended.
    virtual BOOL InitInstance();
    // The application's message map: commands that no window handled.
    virtual bool OnCommand(UINT id);

    // Asks the help viewer for a topic of the help file named after the executable.
    void WinHelp(DWORD context);

    HINSTANCE m_hInstance = nullptr;
    CDialog* m_pMainWnd = nullptr;
    std::string m_strHelpFilePath;  // the executable's path with ".HLP" for its extension

    // Called by the entry point.
    int Start(HINSTANCE instance);

protected:
    // The framework's default help handling (the standard help command).
    void OnHelp();
};
