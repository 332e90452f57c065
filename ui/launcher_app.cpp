#include "launcher_app.h"

#include "splash_dlg.h"

CLauncherApp theApp;

CLauncherApp::CLauncherApp() : CWinApp(nullptr) {}

BOOL CLauncherApp::InitInstance() {
    CSplashDlg dialog(nullptr);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    // Only reached when the launch never started (the dialog could not be created).
    m_pMainWnd = nullptr;
    return FALSE;
}
