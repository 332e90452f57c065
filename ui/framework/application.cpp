#include "application.h"

namespace {
CWinApp* g_application = nullptr;
} // namespace

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) {
    g_application = this;
}

CWinApp::~CWinApp() {
    if (g_application == this) {
        g_application = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0 && got != -1) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (got == 0) {
        m_exitStatus = static_cast<int>(message.wParam);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    return m_exitStatus;
}

CWinApp* AfxGetApp() {
    return g_application;
}

HINSTANCE AfxGetResourceHandle() {
    if (g_application != nullptr && g_application->m_hInstance != nullptr) {
        return g_application->m_hInstance;
    }
    return GetModuleHandleA(nullptr);
}
