// The launcher's application object: runs the splash dialog, whose first paint does the launch.
#pragma once

#include "framework/application.h"

class CLauncherApp : public CWinApp {
  public:
    CLauncherApp();

    // Runs the splash modally. Yields FALSE, so the program ends when the dialog does instead
    // of running a message loop of its own.
    BOOL InitInstance() override;
};

extern CLauncherApp theApp;
