#include "launch_sequence.h"

#include <cstring>

int ColourDepthFor(const char* colourDepth) {
    return std::strcmp(colourDepth, "32") == 0 ? 32 : 16;
}

void RunLaunchSequence(LaunchOperations& operations, const InstallSettings& settings) {
    operations.HideTaskbar();
    operations.SwitchDisplayMode(kRunWidth, kRunHeight, ColourDepthFor(settings.colourDepth));
    operations.PaintSplash();
    if (IsBackendRequest(settings.graphicsRequest)) {
        operations.SwitchRenderingBackend();
    }
    operations.MergePatchDirectory(kPatchSource, kPatchDestination);
    operations.SetDesktopEnabled(true);
    operations.WriteLaunchDiagnostics();

    std::int32_t status = operations.StartChildAndWait(
        settings.childProgram, settings.childArg0, settings.childArg1, settings.childArg2);

    operations.ShowTaskbar();
    operations.RestoreDisplayMode();
    if (status == RESTART_EXIT_CODE) {
        operations.RelaunchLauncher();
    }
    operations.PaintSplash();
    operations.ExitLauncher(0);
}
