// The launch operations of the running launcher, bound to the splash dialog: the desktop, file
// and process work of the launch goes to the platform, and the splash repaints go to the
// dialog's paint handler.
#pragma once

#include <cstdint>

#include "desktop_control.h"
#include "launch_operations.h"
#include "win32_file_system.h"

class CSplashDlg;

class SplashLaunchOperations final : public LaunchOperations {
  public:
    explicit SplashLaunchOperations(CSplashDlg& dialog);

    void HideTaskbar() override;
    void SwitchDisplayMode(int width, int height, int bitsPerPixel) override;
    // Runs the dialog's paint handler directly: no message, and nothing is invalidated first.
    void PaintSplash() override;
    void SwitchRenderingBackend() override;
    void MergePatchDirectory(const char* source, const char* destination) override;
    void SetDesktopEnabled(bool enabled) override;
    void WriteLaunchDiagnostics() override;
    std::int32_t StartChildAndWait(const char* program, const char* word0, const char* word1,
                                   const char* word2) override;
    void ShowTaskbar() override;
    void RestoreDisplayMode() override;
    void RelaunchLauncher() override;
    [[noreturn]] void ExitLauncher(int status) override;

  private:
    CSplashDlg& m_dialog;
    DesktopControl m_desktop;
    Win32FileSystem m_files;
};
