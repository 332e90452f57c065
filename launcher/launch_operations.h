// Everything the launch sequence does to the screen, the files and the processes, as one
// interface: the running launcher binds it to the splash window, tests to a recording fake.
#pragma once

#include <cstdint>

class LaunchOperations {
public:
    virtual ~LaunchOperations() = default;

    // Hides the taskbar, keeping what ShowTaskbar needs to show the same window again.
    virtual void HideTaskbar() = 0;
    // Remembers the current screen mode, then switches to the one asked for if the display
    // accepts it.
    virtual void SwitchDisplayMode(int width, int height, int bitsPerPixel) = 0;
    // Draws the splash once, at the screen size in force now.
    virtual void PaintSplash() = 0;
    // Puts the backend named by the settings' graphics request in force.
    virtual void SwitchRenderingBackend() = 0;
    // Moves the files waiting below source into the same places below destination.
    virtual void MergePatchDirectory(const char* source, const char* destination) = 0;
    virtual void SetDesktopEnabled(bool enabled) = 0;
    // Writes "output.txt".
    virtual void WriteLaunchDiagnostics() = 0;
    // Starts program with the three command-line words, waits for it to end and yields its
    // exit code, or -1 when it could not be started.
    virtual std::int32_t StartChildAndWait(const char* program, const char* word0,
                                           const char* word1, const char* word2) = 0;
    virtual void ShowTaskbar() = 0;
    virtual void RestoreDisplayMode() = 0;
    // Starts a fresh copy of the launcher and ends this process with status 0. Returns only
    // when the copy could not be started.
    virtual void RelaunchLauncher() = 0;
    // Ends the process with status through the normal exit path.
    [[noreturn]] virtual void ExitLauncher(int status) = 0;
};
