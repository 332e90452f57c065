// How a program name becomes a started process: the candidate files of a name, the search along
// a PATH value, and the command line a new process receives. The file system and the process
// start are reached only through ProgramStarter, so the rules run the same on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The Win32 error numbers the search tells apart.
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidDrive = 15;
constexpr std::uint32_t kErrorNoMoreFiles = 18;
constexpr std::uint32_t kErrorBadNetPath = 53;
constexpr std::uint32_t kErrorBadNetName = 67;
constexpr std::uint32_t kErrorBadPathname = 161;
constexpr std::uint32_t kErrorBadExeFormat = 193;
constexpr std::uint32_t kErrorFilenameExcedRange = 206;

// The result of every start that did not happen.
constexpr std::int32_t kStartFailed = -1;

// An entry of this many characters or more ends the PATH search.
constexpr std::size_t kPathEntryLimit = 258;
// An entry with its separator and the name together this long or longer ends the search.
constexpr std::size_t kSearchPathLimit = 260;

struct ExistenceResult {
    bool exists;
    std::uint32_t error; // meaningful when !exists
};

struct StartResult {
    bool started;
    std::int32_t exitCode; // meaningful when started
    std::uint32_t error;   // meaningful when !started
};

// The operating system side of a start.
class ProgramStarter {
  public:
    virtual ~ProgramStarter() = default;

    // Whether a file or directory of that name exists; the error of the test when it does not.
    virtual ExistenceResult Exists(const char* path) = 0;
    // Starts the file at path with the command line. What happens after a start (waiting for the
    // process, or ending this one) is the starter's own; a start that does not return counts
    // as started.
    virtual StartResult Start(const char* path, const char* commandLine) = 0;
    // Whether byte is the first byte of a double-byte character in the current code page.
    virtual bool IsLeadByte(unsigned char byte) = 0;
};

// The outcome of one attempt to start a name.
struct StartAttempt {
    bool started;
    std::int32_t exitCode; // meaningful when started
    std::uint32_t error;   // meaningful when !started: the error of the call that failed
};

// The files tried for name, in order: ".\" before a name with no "\", "/" or ":"; then, unless
// the file-name part holds a ".", each of ".com", ".exe", ".bat" and ".cmd" appended.
std::vector<std::string> CandidateFiles(ProgramStarter& starter, const std::string& name);

// Starts the first candidate of name that exists; that start is final. When none exists, the
// attempt fails with the error of the last existence test.
StartAttempt StartNamedProgram(ProgramStarter& starter, const char* name, const char* commandLine);

// Whether error means that a file or its path was not found.
bool IsNotFoundError(std::uint32_t error);

// Starts name, resolved in the working directory only. Returns the starter's exit code, or
// kStartFailed.
std::int32_t StartProgram(ProgramStarter& starter, const char* name, const char* commandLine);

// Starts name, and when it is not found there, along the entries of pathValue (nullptr when the
// environment has no PATH). Returns the starter's exit code, or kStartFailed.
std::int32_t StartProgramSearchingPath(ProgramStarter& starter, const char* name,
                                       const char* commandLine, const char* pathValue);

// The command line of a new process: the words joined by one blank each, with no quoting.
// An empty first word gives an empty command line.
std::string BuildCommandLine(const char* word0, const char* word1, const char* word2);
