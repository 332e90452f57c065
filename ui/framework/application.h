// CWinApp: the application object. The program defines exactly one, as a global; the entry
// point finds it and calls InitInstance.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp {
  public:
    // Registers this object as the application; appName may be null.
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Sets the application up. TRUE runs the message loop (Run); FALSE ends the program at
    // once through ExitInstance.
    virtual BOOL InitInstance();
    // Pumps messages until WM_QUIT, then yields ExitInstance's status.
    virtual int Run();
    // The program's exit status.
    virtual int ExitInstance();

    const char* m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

  private:
    int m_exitStatus = 0;
};

// The application object; null before it is constructed.
CWinApp* AfxGetApp();
// The module whose resources the framework loads: the program itself.
HINSTANCE AfxGetResourceHandle();
