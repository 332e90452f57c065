// The whole launcher, run as a user runs it: quorvanta.exe in a fresh installation directory with
// its settings, splash bitmap, Java runtime with both rendering backends, pending patch and the
// stand-in game where line 1 of "install.txt" points. The stand-in records what it was started
// with and what the screen looked like while it ran.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "launcher_installation.h"
#include "scratch_directory.h"
#include "stand_in_report.h"

namespace {

int ScreenMetric(int index) {
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return value;
}

class LauncherRun : public testing::Test {
  protected:
    static constexpr COLORREF kSplashColour = RGB(0xFF, 0x00, 0x00);

    void SetUp() override {
        directory_ = WindowsPath(scratch_.path().string());
        SetEnvironmentVariableA("STAND_IN_REPORT", (directory_ + "\\report.txt").c_str());
        SetEnvironmentVariableA("STAND_IN_COUNTER", (directory_ + "\\runs.txt").c_str());
        SetEnvironmentVariableA("STAND_IN_EXIT_CODES", "0");
        // Give the launcher's drawing time to reach the screen before the stand-in looks.
        SetEnvironmentVariableA("STAND_IN_SETTLE_MS", "700");
        SetEnvironmentVariableA(
            "STAND_IN_PROBES",
            "400,300 301,251 500,350 300,300 501,300 400,250 400,351 5,5 795,595");
        LayOutInstallation();
    }

    void LayOutInstallation() {
        ASSERT_TRUE(CopyFileA(g_launcherPath.c_str(), "quorvanta.exe", FALSE));
        WriteFileBytes("install.txt", "jre\\bin\\\r\nworld\r\nmain\r\n32\r\nopengl\r\ngame\r\n");
        WriteFileBytes("quorvanta.bmp", SolidBitmap(200, 100, kSplashColour));
        for (const char* file : kBackendFiles) {
            WriteFileBytes(std::string("jre\\") + file, std::string("old ") + file);
            WriteFileBytes(std::string("jre\\opengl\\") + file, std::string("opengl ") + file);
            WriteFileBytes(std::string("jre\\directx\\") + file, std::string("directx ") + file);
        }
        ASSERT_TRUE(CopyFileA(g_standInPath.c_str(), "jre\\bin\\javaw.exe", FALSE));
        WriteFileBytes("patch\\game.jar", "patched game");
        WriteFileBytes("patch\\levels\\one\\map.dat", "patched map");
        WriteFileBytes("patch\\jre\\lib\\ext\\j3dcore.jar", "patched core");
        WriteFileBytes("game.jar", "old game");
    }

    // Starts .\quorvanta.exe as a user would and returns its exit status.
    DWORD RunLauncher() { return RunLauncherIn(directory_ + "\\quorvanta.exe", directory_); }

    std::vector<StandInRun> GameRuns() { return ReadStandInReport("report.txt"); }

    ScratchDirectory scratch_;
    std::string directory_;
};

TEST_F(LauncherRun, RunsTheGameOnAPreparedDesktopAndPutsItBack) {
    const int width = ScreenMetric(HORZRES);
    const int height = ScreenMetric(VERTRES);

    EXPECT_EQ(RunLauncher(), 0u);

    EXPECT_EQ(ReadFileBytes("install.txt"),
              std::string("jre\\bin\\\r\nworld\r\nmain\r\n32\r\ngraphicsChanged\r\ngame\r\n"));
    EXPECT_EQ(ReadFileBytes("output.txt"), std::string("jre\\bin\\javawmain"));
    for (const char* file : kBackendFiles) {
        const std::string expected = std::string(file) == "lib\\ext\\j3dcore.jar"
                                         ? "patched core" // the patch is applied after the switch
                                         : std::string("opengl ") + file;
        EXPECT_EQ(ReadFileBytes(std::string("jre\\") + file), expected) << file;
        EXPECT_EQ(ReadFileBytes(std::string("jre\\opengl\\") + file),
                  std::string("opengl ") + file);
    }
    EXPECT_EQ(ReadFileBytes("game.jar"), std::string("patched game"));
    EXPECT_EQ(ReadFileBytes("levels\\one\\map.dat"), std::string("patched map"));
    EXPECT_EQ(GetFileAttributesA("patch\\levels"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA("patch"), INVALID_FILE_ATTRIBUTES);

    const std::vector<StandInRun> runs = GameRuns();
    ASSERT_EQ(runs.size(), 1u);
    const StandInRun& game = runs[0];
    EXPECT_EQ(game.at("command_line"), "game main world");
    EXPECT_EQ(game.at("working_directory"), directory_);
    EXPECT_EQ(game.at("screen_width"), "800");
    EXPECT_EQ(game.at("screen_height"), "600");
    EXPECT_EQ(game.at("screen_bits"), "32");
    EXPECT_NE(game.at("taskbar"), "visible");
    EXPECT_EQ(game.at("desktop_enabled"), "1");
    // The 200 x 100 bitmap covers (300, 250) to (499, 349) of the client area, which begins
    // inside the window's one-pixel border: (301, 251) to (500, 350) on the screen.
    for (const char* inside : {"pixel_400_300", "pixel_301_251", "pixel_500_350"}) {
        EXPECT_EQ(game.at(inside), "0xFF0000") << inside;
    }
    for (const char* outside : {"pixel_300_300", "pixel_501_300", "pixel_400_250", "pixel_400_351",
                                "pixel_5_5", "pixel_795_595"}) {
        EXPECT_EQ(game.at(outside), "0x000000") << outside;
    }

    EXPECT_EQ(ScreenMetric(HORZRES), width);
    EXPECT_EQ(ScreenMetric(VERTRES), height);
}

TEST_F(LauncherRun, DirectXRequestAtSixteenBitsSwitchesTheOtherBackend) {
    WriteFileBytes("install.txt", "jre\\bin\\\nworld\nmain\n16\ndirectx\ngame\n");

    EXPECT_EQ(RunLauncher(), 0u);

    for (const char* file : kBackendFiles) {
        if (std::string(file) != "lib\\ext\\j3dcore.jar") {
            EXPECT_EQ(ReadFileBytes(std::string("jre\\") + file), std::string("directx ") + file);
        }
    }
    const std::vector<StandInRun> runs = GameRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].at("screen_width"), "800");
    EXPECT_EQ(runs[0].at("screen_height"), "600");
}

TEST_F(LauncherRun, GameAskingForRestartGetsAFreshLauncher) {
    SetEnvironmentVariableA("STAND_IN_EXIT_CODES", "0xFFFFFFFE,0xFFFFFFFE,0");

    EXPECT_EQ(RunLauncher(), 0u);

    const std::vector<StandInRun> runs = GameRuns();
    ASSERT_EQ(runs.size(), 3u);
    for (const StandInRun& run : runs) {
        EXPECT_EQ(run.at("command_line"), "game main world");
        EXPECT_EQ(run.at("working_directory"), directory_);
        EXPECT_EQ(run.at("screen_width"), "800");
    }
    // The request was taken by the first launcher only.
    EXPECT_EQ(ReadFileBytes("install.txt"),
              std::string("jre\\bin\\\r\nworld\r\nmain\r\n32\r\ngraphicsChanged\r\ngame\r\n"));
}

TEST_F(LauncherRun, WithoutSettingsNoGameStartsAndDiagnosticsEndEmpty) {
    DeleteFileA("install.txt");

    EXPECT_EQ(RunLauncher(), 0u);

    EXPECT_EQ(ReadFileBytes("output.txt"), std::string());
    EXPECT_TRUE(GameRuns().empty());
    EXPECT_EQ(ReadFileBytes("game.jar"), std::string("patched game"));
}

TEST_F(LauncherRun, WithoutSplashBitmapTheLaunchStillRuns) {
    DeleteFileA("quorvanta.bmp");

    EXPECT_EQ(RunLauncher(), 0u);

    const std::vector<StandInRun> runs = GameRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].at("command_line"), "game main world");
    EXPECT_EQ(runs[0].at("pixel_400_300"), "0x000000");
}

} // namespace
