#include "launch_sequence.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "recording_operations.h"

namespace {

using Calls = std::vector<std::string>;

InstallSettings Settings(const char* colourDepth, const char* request) {
    InstallSettings s{};
    std::strcpy(s.runtimePrefix, "C:\\jre\\bin\\");
    std::strcpy(s.childProgram, "C:\\jre\\bin\\javaw");
    std::strcpy(s.childArg0, "game");
    std::strcpy(s.childArg1, "main");
    std::strcpy(s.childArg2, "world");
    std::strcpy(s.colourDepth, colourDepth);
    std::strcpy(s.graphicsRequest, request);
    return s;
}

// Runs the sequence to its end and returns the exit status the process ended with.
int RunToEnd(RecordingOperations& operations, const InstallSettings& settings) {
    try {
        RunLaunchSequence(operations, settings);
    } catch (const ProcessEnded& ended) {
        return ended.status;
    }
    ADD_FAILURE() << "the launch sequence returned";
    return -100;
}

long CountOf(const Calls& calls, const std::string& call) {
    return std::count(calls.begin(), calls.end(), call);
}

TEST(LaunchSequence, RunsEveryStepInOrder) {
    RecordingOperations operations;
    EXPECT_EQ(RunToEnd(operations, Settings("32", "opengl")), 0);
    EXPECT_EQ(operations.calls, (Calls{
                                    "HideTaskbar",
                                    "SwitchDisplayMode(800, 600, 32)",
                                    "PaintSplash",
                                    "SwitchRenderingBackend",
                                    "MergePatchDirectory(.\\patch\\, .\\)",
                                    "SetDesktopEnabled(true)",
                                    "WriteLaunchDiagnostics",
                                    "StartChildAndWait(C:\\jre\\bin\\javaw|game|main|world)",
                                    "ShowTaskbar",
                                    "RestoreDisplayMode",
                                    "PaintSplash",
                                    "ExitLauncher(0)",
                                }));
}

TEST(LaunchSequence, AsksFor32BitsOnlyForExactly32) {
    struct Row {
        const char* colourDepth;
        int depth;
    };
    for (const Row& row : {Row{"32", 32}, Row{"16", 16}, Row{"24", 16}, Row{"", 16},
                           Row{"32 ", 16}, Row{" 32", 16}, Row{"320", 16}}) {
        RecordingOperations operations;
        RunToEnd(operations, Settings(row.colourDepth, ""));
        EXPECT_EQ(operations.calls.at(1),
                  "SwitchDisplayMode(800, 600, " + std::to_string(row.depth) + ")")
            << "colourDepth \"" << row.colourDepth << "\"";
    }
}

TEST(LaunchSequence, SwitchesBackendOnlyForExactRequest) {
    struct Row {
        const char* request;
        bool switches;
    };
    for (const Row& row : {Row{"opengl", true}, Row{"directx", true}, Row{"graphicsChanged", false},
                           Row{"", false}, Row{"OpenGL", false}, Row{"opengl ", false},
                           Row{"DirectX", false}}) {
        RecordingOperations operations;
        RunToEnd(operations, Settings("16", row.request));
        const Calls& calls = operations.calls;
        ASSERT_EQ(CountOf(calls, "SwitchRenderingBackend"), row.switches ? 1 : 0)
            << "request \"" << row.request << "\"";
        if (row.switches) {
            EXPECT_EQ(calls.at(2), "PaintSplash");
            EXPECT_EQ(calls.at(3), "SwitchRenderingBackend");
            EXPECT_EQ(calls.at(4), "MergePatchDirectory(.\\patch\\, .\\)");
        }
    }
}

TEST(LaunchSequence, RelaunchesForStatusMinusTwoAfterDesktopIsBack) {
    RecordingOperations operations;
    operations.childStatus = RESTART_EXIT_CODE;
    EXPECT_EQ(RunToEnd(operations, Settings("16", "")), 0);
    Calls tail(operations.calls.end() - 3, operations.calls.end());
    EXPECT_EQ(tail, (Calls{"ShowTaskbar", "RestoreDisplayMode", "RelaunchLauncher"}));
}

TEST(LaunchSequence, FailedRelaunchFallsThroughToPaintAndExit) {
    RecordingOperations operations;
    operations.childStatus = RESTART_EXIT_CODE;
    operations.relaunchStarts = false;
    EXPECT_EQ(RunToEnd(operations, Settings("16", "")), 0);
    Calls tail(operations.calls.end() - 5, operations.calls.end());
    EXPECT_EQ(tail, (Calls{"ShowTaskbar", "RestoreDisplayMode", "RelaunchLauncher", "PaintSplash",
                           "ExitLauncher(0)"}));
}

TEST(LaunchSequence, OtherStatusesNeverRelaunchAndExitWithZero) {
    for (std::int32_t status : {-1, 0, 1, 2, -3, INT32_MIN, INT32_MAX}) {
        RecordingOperations operations;
        operations.childStatus = status;
        EXPECT_EQ(RunToEnd(operations, Settings("16", "")), 0) << "status " << status;
        EXPECT_EQ(CountOf(operations.calls, "RelaunchLauncher"), 0) << "status " << status;
    }
}

TEST(LaunchSequence, MissingSettingsStartEmptyProgramAndStillRestoreDesktop) {
    RecordingOperations operations;
    operations.childStatus = -1;
    InstallSettings empty{};
    EXPECT_EQ(RunToEnd(operations, empty), 0);
    EXPECT_EQ(operations.calls, (Calls{
                                    "HideTaskbar",
                                    "SwitchDisplayMode(800, 600, 16)",
                                    "PaintSplash",
                                    "MergePatchDirectory(.\\patch\\, .\\)",
                                    "SetDesktopEnabled(true)",
                                    "WriteLaunchDiagnostics",
                                    "StartChildAndWait(|||)",
                                    "ShowTaskbar",
                                    "RestoreDisplayMode",
                                    "PaintSplash",
                                    "ExitLauncher(0)",
                                }));
}

} // namespace
