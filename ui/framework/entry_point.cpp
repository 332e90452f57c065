// The program's entry point: hands control to the one application object.
#include <windows.h>

#include "application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CWinApp* application = AfxGetApp();
    if (application == nullptr) {
        return -1;
    }
    application->m_hInstance = instance;
    if (!application->InitInstance()) {
        return application->ExitInstance();
    }
    return application->Run();
}
