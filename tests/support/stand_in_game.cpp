// A stand-in for the game (or for a relaunched launcher) that tests start in its place. It
// records what it was given and what the desktop looked like, then ends with the exit code it
// was told. A GUI program, so that no console window covers the screen.
//
// It is controlled through environment variables, which reach it through any launcher because a
// started program inherits its parent's environment:
//
//   STAND_IN_REPORT      File to which one block per run is appended (default:
//                        stand_in_report.txt in the directory of this executable).
//   STAND_IN_COUNTER     Optional file holding the number of runs so far; read, then written
//                        back one higher. Without it every run counts as run 0.
//   STAND_IN_EXIT_CODES  Comma-separated exit codes, decimal or 0x hexadecimal, taken as 32-bit
//                        unsigned values ("-2" is 0xFFFFFFFE). Run n ends with the n-th code, runs
//                        past the end of the list with the last one. Default: 0.
//   STAND_IN_WAIT_FOR    Optional file: before ending, wait until it exists (at most
//                        STAND_IN_WAIT_LIMIT_MS milliseconds, default 120000).
//   STAND_IN_WAIT_MS     Optional time in milliseconds to wait before ending.
//   STAND_IN_SETTLE_MS   Optional time in milliseconds to wait before looking at the screen, so
//                        that what the launcher drew has reached it.
//   STAND_IN_PROBES      Optional screen points "x,y x,y ..." whose colours are recorded as
//                        pixel_X_Y=0xRRGGBB lines.
//
// A report block is a series of "key=value" lines ending with a line "end":
//   run, module, command_line, working_directory, screen_width, screen_height, screen_bits,
//   taskbar (visible, hidden or none), desktop_enabled (1 or 0), centre_pixel (the colour at the
//   screen's centre as 0xRRGGBB), exit_code (0x%08X).
// The command line is written as received; one holding a line break would split its line.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Variable(const char* name) {
    char value[4096];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value, length) : std::string();
}

std::string OwnDirectory() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path, length);
    return directory.substr(0, directory.find_last_of("\\/") + 1);
}

std::string ModulePath() {
    char path[MAX_PATH];
    return std::string(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
}

// Counts this run in the counter file and returns the number of earlier runs.
unsigned long TakeRunNumber() {
    const std::string counter = Variable("STAND_IN_COUNTER");
    if (counter.empty()) {
        return 0;
    }
    unsigned long runs = 0;
    if (std::FILE* in = std::fopen(counter.c_str(), "r")) {
        if (std::fscanf(in, "%lu", &runs) != 1) {
            runs = 0;
        }
        std::fclose(in);
    }
    if (std::FILE* out = std::fopen(counter.c_str(), "w")) {
        std::fprintf(out, "%lu\n", runs + 1);
        std::fclose(out);
    }
    return runs;
}

DWORD ExitCodeFor(unsigned long run) {
    const std::string list = Variable("STAND_IN_EXIT_CODES");
    std::vector<DWORD> codes;
    std::size_t start = 0;
    while (start <= list.size() && !list.empty()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string item = list.substr(start, end - start);
        codes.push_back(static_cast<DWORD>(std::strtoll(item.c_str(), nullptr, 0)));
        start = end + 1;
    }
    if (codes.empty()) {
        return 0;
    }
    return codes[std::min<std::size_t>(run, codes.size() - 1)];
}

const char* TaskbarState() {
    HWND taskbar = FindWindowA("Shell_traywnd", "");
    if (taskbar == nullptr) {
        return "none";
    }
    return IsWindowVisible(taskbar) ? "visible" : "hidden";
}

void WaitAsTold() {
    const std::string waitFor = Variable("STAND_IN_WAIT_FOR");
    if (!waitFor.empty()) {
        const std::string limitText = Variable("STAND_IN_WAIT_LIMIT_MS");
        const DWORD limit =
            limitText.empty() ? 120000 : std::strtoul(limitText.c_str(), nullptr, 0);
        const DWORD started = GetTickCount();
        while (GetFileAttributesA(waitFor.c_str()) == INVALID_FILE_ATTRIBUTES &&
               GetTickCount() - started < limit) {
            Sleep(50);
        }
    }
    const std::string waitMs = Variable("STAND_IN_WAIT_MS");
    if (!waitMs.empty()) {
        Sleep(std::strtoul(waitMs.c_str(), nullptr, 0));
    }
}

// One "pixel_X_Y=0xRRGGBB" line for each point of STAND_IN_PROBES.
std::string ProbeLines(HDC screen) {
    std::string lines;
    const std::string probes = Variable("STAND_IN_PROBES");
    const char* cursor = probes.c_str();
    int x = 0;
    int y = 0;
    int consumed = 0;
    while (std::sscanf(cursor, " %d,%d%n", &x, &y, &consumed) == 2) {
        const COLORREF colour = GetPixel(screen, x, y);
        char line[64];
        std::snprintf(line, sizeof line, "pixel_%d_%d=0x%02X%02X%02X\n", x, y, GetRValue(colour),
                      GetGValue(colour), GetBValue(colour));
        lines += line;
        cursor += consumed;
    }
    return lines;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const unsigned long run = TakeRunNumber();
    const DWORD exitCode = ExitCodeFor(run);

    char workingDirectory[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, workingDirectory);
    const std::string settleMs = Variable("STAND_IN_SETTLE_MS");
    if (!settleMs.empty()) {
        Sleep(std::strtoul(settleMs.c_str(), nullptr, 0));
    }
    HDC screen = GetDC(nullptr);
    const int width = GetDeviceCaps(screen, HORZRES);
    const int height = GetDeviceCaps(screen, VERTRES);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    const COLORREF centre = GetPixel(screen, width / 2, height / 2);
    const std::string probeLines = ProbeLines(screen);
    ReleaseDC(nullptr, screen);

    std::string report = Variable("STAND_IN_REPORT");
    if (report.empty()) {
        report = OwnDirectory() + "stand_in_report.txt";
    }
    if (std::FILE* out = std::fopen(report.c_str(), "ab")) {
        std::fprintf(out,
                     "run=%lu\nmodule=%s\ncommand_line=%s\nworking_directory=%s\n"
                     "screen_width=%d\nscreen_height=%d\nscreen_bits=%d\ntaskbar=%s\n"
                     "desktop_enabled=%d\ncentre_pixel=0x%02X%02X%02X\n%sexit_code=0x%08lX\nend\n",
                     run, ModulePath().c_str(), GetCommandLineA(), workingDirectory, width, height,
                     bits, TaskbarState(), IsWindowEnabled(GetDesktopWindow()) ? 1 : 0,
                     GetRValue(centre), GetGValue(centre), GetBValue(centre), probeLines.c_str(),
                     static_cast<unsigned long>(exitCode));
        std::fclose(out);
    }

    WaitAsTold();
    ExitProcess(exitCode);
}
