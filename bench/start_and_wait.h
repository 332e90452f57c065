// What both starters share: reading "PROGRAM COMMAND LINE" from their own command line, and
// starting a program and waiting for it the plainest way the platform offers.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

namespace bench {

// Skips the starter's own name (quoted or not) and the blanks after it.
inline const char* ArgumentsOf(const char* commandLine) {
    const char* cursor = commandLine;
    if (*cursor == '"') {
        cursor = std::strchr(cursor + 1, '"');
        cursor = cursor != nullptr ? cursor + 1 : commandLine + std::strlen(commandLine);
    } else {
        while (*cursor != '\0' && *cursor != ' ' && *cursor != '\t') {
            ++cursor;
        }
    }
    while (*cursor == ' ' || *cursor == '\t') {
        ++cursor;
    }
    return cursor;
}

// Starts the program named by the first word of arguments with the rest as its command line,
// waits until it has ended and returns its exit code; -1 when it could not be started.
inline int StartAndWait(const char* arguments) {
    const char* end = arguments;
    while (*end != '\0' && *end != ' ') {
        ++end;
    }
    const std::string program(arguments, end);
    while (*end == ' ') {
        ++end;
    }
    std::string commandLine(end);
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

} // namespace bench
