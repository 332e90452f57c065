// Starts a program, waits for it and prints the memory counters that the system still gives for
// its handle once it has ended: the peak working set of the whole run.
//   footprint_probe.exe PROGRAM [COMMAND LINE]
#define PSAPI_VERSION 2
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>

int main() {
    const char* cursor = GetCommandLineA();
    // Skip this program's own name and the blanks after it.
    if (*cursor == '"') {
        const char* close = std::strchr(cursor + 1, '"');
        cursor = close != nullptr ? close + 1 : cursor + std::strlen(cursor);
    }
    while (*cursor != '\0' && *cursor != ' ') {
        ++cursor;
    }
    while (*cursor == ' ') {
        ++cursor;
    }
    std::string commandLine(cursor);
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("start_error=%lu\n", GetLastError());
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters)) {
        std::printf("after_end_peak_working_set=%llu\nafter_end_peak_pagefile=%llu\n",
                    static_cast<unsigned long long>(counters.PeakWorkingSetSize),
                    static_cast<unsigned long long>(counters.PeakPagefileUsage));
    } else {
        std::printf("after_end_error=%lu\n", GetLastError());
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
