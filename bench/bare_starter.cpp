// The least a launcher can do: start the game and wait for it.
//   bare_starter.exe PROGRAM [COMMAND LINE]
#include "start_and_wait.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return bench::StartAndWait(bench::ArgumentsOf(GetCommandLineA()));
}
