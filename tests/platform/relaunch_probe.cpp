// A launcher in miniature for the relaunch tests, run in a scratch working directory. It
// registers an exit routine that leaves "exit_routine_ran.txt", leaves "buffered" unflushed in
// the stream of "buffered.txt", then asks for a relaunch. When the relaunch returns, it writes
// the result to "relaunch_result.txt" and ends through the normal exit with status 3.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "process_control.h"

namespace {

void LeaveMarker() {
    if (std::FILE* marker = std::fopen("exit_routine_ran.txt", "w")) {
        std::fclose(marker);
    }
}

char g_streamBuffer[4096];

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::atexit(LeaveMarker);
    std::FILE* buffered = std::fopen("buffered.txt", "w");
    if (buffered != nullptr) {
        std::setvbuf(buffered, g_streamBuffer, _IOFBF, sizeof(g_streamBuffer));
        std::fputs("buffered", buffered);
    }

    const int result = RelaunchLauncher();

    if (std::FILE* out = std::fopen("relaunch_result.txt", "w")) {
        std::fprintf(out, "%d", result);
        std::fclose(out);
    }
    ExitLauncher(3);
}
