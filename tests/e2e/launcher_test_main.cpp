// Entry point of the test programs that run the shipped launcher. They are given the launcher
// and the stand-in game as paths of the build tree.
#include <windows.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "launcher_installation.h"

std::string g_launcherPath;
std::string g_standInPath;

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s QUORVANTA_EXE STAND_IN_GAME_EXE\n", argv[0]);
        return 2;
    }
    g_launcherPath = WindowsPath(argv[1]);
    g_standInPath = WindowsPath(argv[2]);
    // A crash must show as an exit status, not as a dialog that waits for a user.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    return RUN_ALL_TESTS();
}
