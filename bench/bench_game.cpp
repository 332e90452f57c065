// The game of the benchmark installations: it ends at once with status 0. When
// BENCH_MEMORY_REPORT names a file, it first appends to it the memory counters of the process
// that started it (the launcher, blocked waiting for it) and its own, as key=value lines.
#define PSAPI_VERSION 2
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>

namespace {

DWORD ParentProcessId() {
    const DWORD self = GetCurrentProcessId();
    DWORD parent = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == self) {
            parent = entry.th32ParentProcessID;
            break;
        }
    }
    CloseHandle(snapshot);
    return parent;
}

void WriteCounters(std::FILE* out, const char* who, HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (process == nullptr || !GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        std::fprintf(out, "%s_error=%lu\n", who, GetLastError());
        return;
    }
    std::fprintf(out, "%s_peak_working_set=%llu\n%s_working_set=%llu\n%s_peak_pagefile=%llu\n", who,
                 static_cast<unsigned long long>(counters.PeakWorkingSetSize), who,
                 static_cast<unsigned long long>(counters.WorkingSetSize), who,
                 static_cast<unsigned long long>(counters.PeakPagefileUsage));
}

void ReportMemory() {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("BENCH_MEMORY_REPORT", path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return;
    }
    std::FILE* out = std::fopen(path, "a");
    if (out == nullptr) {
        return;
    }
    HANDLE parent =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ParentProcessId());
    WriteCounters(out, "launcher_during_run", parent);
    if (parent != nullptr) {
        CloseHandle(parent);
    }
    WriteCounters(out, "game", GetCurrentProcess());
    std::fclose(out);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ReportMemory();
    return 0;
}
