#include "framework/App.h"

#include <cstdlib>
#include <exception>

#include "framework/Desktop.h"
#include "framework/Dialog.h"
#include "res/resource.h"

namespace {

CWinApp* g_app = nullptr;

std::string ModulePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The program runs in a folder of user files: never load a DLL from there.
// Looked up at run time, as Windows 7 has it only with a later update.
void LoadDllsFromSystemFolderOnly() {
    using SetDirsFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    auto setDirs = reinterpret_cast<SetDirsFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDirs) setDirs(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// The runtime's own handler writes to a standard error stream that a GUI
// program does not have, and the user would see the program vanish. Say so
// instead, once, and end.
[[noreturn]] void EndOnFault() {
    // Nothing allocated: memory may be what ran out.
    char text[128] = "";
    LoadStringA(GetModuleHandleA(nullptr), IDS_INTERNAL_ERROR, text, sizeof text);
    FatalAppExitA(0, text);
    std::abort();
}

}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* CWinApp::Current() { return g_app; }

BOOL CWinApp::InitInstance() { return TRUE; }

bool CWinApp::OnCommand(UINT) { return false; }

void CWinApp::OnHelp() {
    DWORD context = m_pMainWnd ? m_pMainWnd->HelpContext() : 0;
    WinHelp(context);
}

void CWinApp::WinHelp(DWORD context) {
    HWND owner = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
    ::WinHelpA(owner, m_strHelpFilePath.c_str(), HELP_CONTEXT, context);
}

int CWinApp::Start(HINSTANCE instance) {
    m_hInstance = instance;
    const std::string path = ModulePath();
    // Beside the executable, named after it.
    m_strHelpFilePath = path.substr(0, path.find_last_of("\\/") + 1) + desktop::AppName() + ".HLP";

    if (InitInstance()) {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return static_cast<int>(msg.wParam);
    }
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    LoadDllsFromSystemFolderOnly();
    std::set_terminate(EndOnFault);
    CWinApp* app = CWinApp::Current();
    if (!app) return EXIT_FAILURE;
    try {
        return app->Start(instance);
    } catch (const std::exception&) {
        // Every handler catches what it expects; anything else is a fault of ours.
        EndOnFault();
    }
    return EXIT_FAILURE;
}
