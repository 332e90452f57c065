#include "program_search.h"

#include <cstring>

namespace {

constexpr const char* kExtensions[] = {".com", ".exe", ".bat", ".cmd"};
constexpr char kCurrentDirectory[] = ".\\";

bool IsSeparator(char byte) {
    return byte == '\\' || byte == '/';
}

// Length in bytes of the character that starts at text[index]: the trail byte of a double-byte
// character belongs to its lead byte and is never read as a character of its own.
std::size_t CharacterLength(ProgramStarter& starter, const std::string& text, std::size_t index) {
    if (index + 1 < text.size() && starter.IsLeadByte(static_cast<unsigned char>(text[index]))) {
        return 2;
    }
    return 1;
}

struct NameShape {
    bool hasBackslash = false;
    bool hasSlash = false;
    bool hasColon = false;
    bool fileNamePartHasDot = false;
};

NameShape ShapeOf(ProgramStarter& starter, const std::string& name) {
    NameShape shape;
    const std::size_t none = std::string::npos;
    std::size_t lastSeparator = none;
    std::size_t firstColon = none;
    std::size_t lastDot = none;
    for (std::size_t i = 0; i < name.size(); i += CharacterLength(starter, name, i)) {
        if (CharacterLength(starter, name, i) != 1) {
            continue;
        }
        switch (name[i]) {
        case '\\':
            shape.hasBackslash = true;
            lastSeparator = i;
            break;
        case '/':
            shape.hasSlash = true;
            lastSeparator = i;
            break;
        case ':':
            shape.hasColon = true;
            if (firstColon == none) {
                firstColon = i;
            }
            break;
        case '.':
            lastDot = i;
            break;
        default:
            break;
        }
    }
    // The file-name part follows the last separator, or, without one, the first colon.
    const std::size_t partStart = lastSeparator != none ? lastSeparator + 1
                                  : firstColon != none  ? firstColon + 1
                                                        : 0;
    shape.fileNamePartHasDot = lastDot != none && lastDot >= partStart;
    return shape;
}

bool EndsInSeparator(ProgramStarter& starter, const std::string& text) {
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < text.size(); i += CharacterLength(starter, text, i)) {
        last = i;
    }
    return last != std::string::npos && CharacterLength(starter, text, last) == 1 &&
           IsSeparator(text[last]);
}

// "\\server\share" and the like: the two leading characters are both separators.
bool IsNetworkPath(const std::string& entry) {
    return entry.size() >= 2 && IsSeparator(entry[0]) && IsSeparator(entry[1]);
}

// Reads PATH one entry at a time: ";" separates, double quotes are dropped and protect what
// stands between them, a ";" included.
class PathEntries {
  public:
    PathEntries(ProgramStarter& starter, const char* value) : starter_(starter), value_(value) {}

    // The next entry that is not empty as written, in entry; false at the end of the value.
    bool Next(std::string& entry) {
        while (position_ < value_.size()) {
            entry.clear();
            std::size_t rawLength = 0;
            bool quoted = false;
            while (position_ < value_.size()) {
                const std::size_t length = CharacterLength(starter_, value_, position_);
                const char byte = value_[position_];
                if (length == 1 && byte == ';' && !quoted) {
                    break;
                }
                if (length == 1 && byte == '"') {
                    quoted = !quoted;
                } else {
                    entry.append(value_, position_, length);
                }
                position_ += length;
                rawLength += length;
            }
            if (position_ < value_.size()) {
                ++position_; // the ";"
            }
            if (rawLength > 0) {
                return true;
            }
        }
        return false;
    }

  private:
    ProgramStarter& starter_;
    std::string value_;
    std::size_t position_ = 0;
};

StartAttempt Failed(std::uint32_t error) {
    return StartAttempt{false, 0, error};
}

} // namespace

std::vector<std::string> CandidateFiles(ProgramStarter& starter, const std::string& name) {
    const NameShape shape = ShapeOf(starter, name);
    const std::string base =
        shape.hasBackslash || shape.hasSlash || shape.hasColon ? name : kCurrentDirectory + name;
    if (shape.fileNamePartHasDot) {
        return {base};
    }
    std::vector<std::string> candidates;
    for (const char* extension : kExtensions) {
        candidates.push_back(base + extension);
    }
    return candidates;
}

StartAttempt StartNamedProgram(ProgramStarter& starter, const char* name, const char* commandLine) {
    std::uint32_t lastError = kErrorFileNotFound;
    for (const std::string& candidate : CandidateFiles(starter, name)) {
        const ExistenceResult existence = starter.Exists(candidate.c_str());
        if (!existence.exists) {
            lastError = existence.error;
            continue;
        }
        const StartResult start = starter.Start(candidate.c_str(), commandLine);
        return start.started ? StartAttempt{true, start.exitCode, 0} : Failed(start.error);
    }
    return Failed(lastError);
}

bool IsNotFoundError(std::uint32_t error) {
    switch (error) {
    case kErrorFileNotFound:
    case kErrorPathNotFound:
    case kErrorInvalidDrive:
    case kErrorNoMoreFiles:
    case kErrorBadNetPath:
    case kErrorBadNetName:
    case kErrorBadPathname:
    case kErrorFilenameExcedRange:
        return true;
    default:
        return false;
    }
}

std::int32_t StartProgram(ProgramStarter& starter, const char* name, const char* commandLine) {
    const StartAttempt attempt = StartNamedProgram(starter, name, commandLine);
    return attempt.started ? attempt.exitCode : kStartFailed;
}

std::int32_t StartProgramSearchingPath(ProgramStarter& starter, const char* name,
                                       const char* commandLine, const char* pathValue) {
    const StartAttempt direct = StartNamedProgram(starter, name, commandLine);
    if (direct.started) {
        return direct.exitCode;
    }
    if (!IsNotFoundError(direct.error) || ShapeOf(starter, name).hasSlash || pathValue == nullptr) {
        return kStartFailed;
    }
    const std::size_t nameLength = std::strlen(name);
    PathEntries entries(starter, pathValue);
    std::string entry;
    while (entries.Next(entry)) {
        if (entry.empty() || entry.size() >= kPathEntryLimit) {
            return kStartFailed;
        }
        std::string candidateName = entry;
        if (!EndsInSeparator(starter, candidateName)) {
            candidateName += '\\';
        }
        if (candidateName.size() + nameLength >= kSearchPathLimit) {
            return kStartFailed;
        }
        candidateName += name;
        const StartAttempt attempt = StartNamedProgram(starter, candidateName.c_str(), commandLine);
        if (attempt.started) {
            return attempt.exitCode;
        }
        if (!IsNotFoundError(attempt.error) && !IsNetworkPath(entry)) {
            return kStartFailed;
        }
    }
    return kStartFailed;
}

std::string BuildCommandLine(const char* word0, const char* word1, const char* word2) {
    if (*word0 == '\0') {
        return std::string();
    }
    return std::string(word0) + ' ' + word1 + ' ' + word2;
}
