#include "process_control.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "program_search.h"

// The start-up record handed to every new process, as the 32-bit launcher builds it.
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68, "unexpected STARTUPINFOA layout");

namespace {

constexpr char kLauncherName[] = "quorvanta.exe";
constexpr char kRelaunchCommandLine[] = "noargs";

// Blocks until process has ended, handling no window message. The wait goes through user32 so
// that what this thread drew last reaches the screen on systems that show a thread's drawing
// only while it waits there; with an empty wake mask no message ends the wait, but some systems
// still wake it now and then, so only the process handle itself ends the loop.
void WaitUntilEnded(HANDLE process) {
    for (;;) {
        const DWORD result = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, 0);
        if (result == WAIT_OBJECT_0) {
            return;
        }
        if (result != WAIT_OBJECT_0 + 1) {
            WaitForSingleObject(process, INFINITE);
            return;
        }
    }
}

// Existence test and process creation on the Win32 calls; what follows a creation is the
// subclass's own.
class Win32ProgramStarter : public ProgramStarter {
  public:
    ExistenceResult Exists(const char* path) override {
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
            return {true, 0};
        }
        return {false, GetLastError()};
    }

    bool IsLeadByte(unsigned char byte) override { return IsDBCSLeadByte(byte) != FALSE; }

  protected:
    // Creates the process with the candidate as the application name, so that the system does
    // no search of its own; the child inherits the handles, the environment and the working
    // directory. Returns 0, or the error of the creation.
    static DWORD Create(const char* path, const char* commandLine, PROCESS_INFORMATION& process) {
        std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);
        STARTUPINFOA startup;
        std::memset(&startup, 0, sizeof(startup));
        startup.cb = sizeof(startup);
        if (!CreateProcessA(path, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &process)) {
            return GetLastError();
        }
        return 0;
    }
};

// Starts the program and waits for it to end.
class WaitingStarter : public Win32ProgramStarter {
  public:
    StartResult Start(const char* path, const char* commandLine) override {
        PROCESS_INFORMATION process{};
        if (const DWORD error = Create(path, commandLine, process)) {
            return {false, 0, error};
        }
        WaitUntilEnded(process.hProcess);
        DWORD exitCode = static_cast<DWORD>(-1);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        return {true, static_cast<std::int32_t>(exitCode), 0};
    }
};

// Starts the program in place of this process: once it exists, this process ends with status 0
// without running exit routines or flushing streams, its handles left to the system.
// ExitProcess is not enough for that: some C runtimes flush their open streams when they are
// detached at process exit. Ending the process by termination detaches nothing.
class ReplacingStarter : public Win32ProgramStarter {
  public:
    StartResult Start(const char* path, const char* commandLine) override {
        PROCESS_INFORMATION process{};
        if (const DWORD error = Create(path, commandLine, process)) {
            return {false, 0, error};
        }
        TerminateProcess(GetCurrentProcess(), 0);
        ExitProcess(0); // not reached: termination of the own process does not return
    }
};

// The value of PATH, or false when the environment has none.
bool ReadPathVariable(std::string& value) {
    std::vector<char> buffer(256);
    for (;;) {
        SetLastError(0);
        const DWORD length =
            GetEnvironmentVariableA("PATH", buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
                return false;
            }
            value.clear();
            return true;
        }
        if (length < buffer.size()) {
            value.assign(buffer.data(), length);
            return true;
        }
        buffer.resize(length);
    }
}

} // namespace

std::int32_t StartChildAndWait(const char* program, const char* word0, const char* word1,
                               const char* word2) {
    const std::string commandLine = BuildCommandLine(word0, word1, word2);
    std::string path;
    const bool hasPath = ReadPathVariable(path);
    WaitingStarter starter;
    return StartProgramSearchingPath(starter, program, commandLine.c_str(),
                                     hasPath ? path.c_str() : nullptr);
}

int RelaunchLauncher() {
    ReplacingStarter starter;
    return StartProgram(starter, kLauncherName, kRelaunchCommandLine);
}

void ExitLauncher(int status) {
    std::exit(status);
}
