// A LaunchOperations that records every call as one line of text, so a test can compare the
// whole order of a run. The two operations that end the process throw ProcessEnded instead,
// so the test sees that nothing runs after them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "launch_operations.h"

struct ProcessEnded {
    int status;
};

class RecordingOperations : public LaunchOperations {
public:
    std::int32_t childStatus = 0;
    bool relaunchStarts = true;
    std::vector<std::string> calls;

    void HideTaskbar() override { calls.push_back("HideTaskbar"); }
    void SwitchDisplayMode(int width, int height, int bitsPerPixel) override {
        calls.push_back("SwitchDisplayMode(" + std::to_string(width) + ", " +
                        std::to_string(height) + ", " + std::to_string(bitsPerPixel) + ")");
    }
    void PaintSplash() override { calls.push_back("PaintSplash"); }
    void SwitchRenderingBackend() override { calls.push_back("SwitchRenderingBackend"); }
    void MergePatchDirectory(const char* source, const char* destination) override {
        calls.push_back(std::string("MergePatchDirectory(") + source + ", " + destination + ")");
    }
    void SetDesktopEnabled(bool enabled) override {
        calls.push_back(enabled ? "SetDesktopEnabled(true)" : "SetDesktopEnabled(false)");
    }
    void WriteLaunchDiagnostics() override { calls.push_back("WriteLaunchDiagnostics"); }
    std::int32_t StartChildAndWait(const char* program, const char* word0, const char* word1,
                                   const char* word2) override {
        calls.push_back(std::string("StartChildAndWait(") + program + "|" + word0 + "|" + word1 +
                        "|" + word2 + ")");
        return childStatus;
    }
    void ShowTaskbar() override { calls.push_back("ShowTaskbar"); }
    void RestoreDisplayMode() override { calls.push_back("RestoreDisplayMode"); }
    void RelaunchLauncher() override {
        calls.push_back("RelaunchLauncher");
        if (relaunchStarts) {
            throw ProcessEnded{0};
        }
    }
    [[noreturn]] void ExitLauncher(int status) override {
        calls.push_back("ExitLauncher(" + std::to_string(status) + ")");
        throw ProcessEnded{status};
    }
};
