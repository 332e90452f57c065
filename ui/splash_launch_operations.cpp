#include "splash_launch_operations.h"

#include "backend_switch.h"
#include "install_settings.h"
#include "patch_merge.h"
#include "process_control.h"
#include "splash_dlg.h"

SplashLaunchOperations::SplashLaunchOperations(CSplashDlg& dialog)
    : m_dialog(dialog), m_desktop(dialog.m_hWnd) {}

void SplashLaunchOperations::HideTaskbar() {
    m_desktop.HideTaskbar();
}

void SplashLaunchOperations::SwitchDisplayMode(int width, int height, int bitsPerPixel) {
    m_desktop.SwitchDisplayMode(width, height, bitsPerPixel);
}

void SplashLaunchOperations::PaintSplash() {
    m_dialog.OnPaint();
}

void SplashLaunchOperations::SwitchRenderingBackend() {
    ::SwitchRenderingBackend(m_files, g_installSettings.graphicsRequest);
}

void SplashLaunchOperations::MergePatchDirectory(const char* source, const char* destination) {
    ::MergePatchDirectory(m_files, source, destination);
}

void SplashLaunchOperations::SetDesktopEnabled(bool enabled) {
    ::SetDesktopEnabled(enabled);
}

void SplashLaunchOperations::WriteLaunchDiagnostics() {
    ::WriteLaunchDiagnostics();
}

std::int32_t SplashLaunchOperations::StartChildAndWait(const char* program, const char* word0,
                                                       const char* word1, const char* word2) {
    return ::StartChildAndWait(program, word0, word1, word2);
}

void SplashLaunchOperations::ShowTaskbar() {
    m_desktop.ShowTaskbar();
}

void SplashLaunchOperations::RestoreDisplayMode() {
    m_desktop.RestoreDisplayMode();
}

void SplashLaunchOperations::RelaunchLauncher() {
    // Returns only when the new copy could not be started; the launch then goes on to its end.
    ::RelaunchLauncher();
}

void SplashLaunchOperations::ExitLauncher(int status) {
    ::ExitLauncher(status);
}
