// Helpers for tests that start Windows programs: the programs built beside the test executable,
// environment variables set for one test, and waiting for what a started program leaves behind.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "stand_in_report.h"

// A program built into the same directory as the running test executable.
inline std::filesystem::path ProgramBesideTest(const char* fileName) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(std::string(path, length)).parent_path() / fileName;
}

// Sets an environment variable of this process (and so of the programs it starts) for the
// lifetime of the object; nullptr removes it.
class EnvironmentOverride {
  public:
    EnvironmentOverride(const char* name, const char* value) : name_(name) {
        char buffer[32767];
        const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
        if (length > 0 && length < sizeof(buffer)) {
            previous_ = std::string(buffer, length);
        }
        SetEnvironmentVariableA(name, value);
    }
    ~EnvironmentOverride() {
        SetEnvironmentVariableA(name_.c_str(), previous_ ? previous_->c_str() : nullptr);
    }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

  private:
    std::string name_;
    std::optional<std::string> previous_;
};

// Waits until the report holds `count` complete runs, or two minutes have passed, and returns
// what it holds then. For programs this test did not start itself and so cannot wait for.
inline std::vector<StandInRun> WaitForStandInRuns(const std::filesystem::path& report,
                                                  std::size_t count) {
    const ULONGLONG deadline = GetTickCount64() + 120000;
    std::vector<StandInRun> runs = ReadStandInReport(report);
    while (runs.size() < count && GetTickCount64() < deadline) {
        Sleep(50);
        runs = ReadStandInReport(report);
    }
    return runs;
}

// Starts a program with a command line in the working directory, waits for it and returns its
// exit code; nullopt when it could not be started.
inline std::optional<DWORD> RunProgram(const std::filesystem::path& program,
                                       const std::string& commandLine) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.string().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return std::nullopt;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return exitCode;
}
