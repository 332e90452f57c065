// Any program name and any PATH value against a file system that the input also decides. The
// search must never overrun, must start only files it has just seen exist, must stop at the
// first start that succeeds, must keep every searched path under the length limits, and must
// never search PATH for a name that holds "/".
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "program_search.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

std::uint32_t Hash(const char* text, std::uint32_t seed) {
    std::uint32_t hash = 2166136261u ^ seed;
    for (; *text; ++text) {
        hash = (hash ^ static_cast<unsigned char>(*text)) * 16777619u;
    }
    return hash;
}

bool IsLeadByte932(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Existence, start outcome and errors follow from a hash of the path and a seed from the input,
// so the fuzzer can steer into every branch. Lead bytes are those of code page 932.
class ArbitraryStarter : public ProgramStarter {
public:
    explicit ArbitraryStarter(std::uint32_t seed) : seed_(seed) {}

    ExistenceResult Exists(const char* path) override {
        existing_.push_back(path);
        const std::uint32_t hash = Hash(path, seed_);
        static const std::uint32_t kErrors[] = {kErrorFileNotFound, kErrorPathNotFound,
                                                kErrorAccessDenied, kErrorBadNetPath,
                                                kErrorFilenameExcedRange};
        if (hash % 7 == 0) {
            return {true, 0};
        }
        existing_.pop_back();
        return {false, kErrors[(hash >> 8) % 5]};
    }

    StartResult Start(const char* path, const char* commandLine) override {
        Check(!started_, "a start followed a successful start");
        Check(!existing_.empty() && existing_.back() == path, "started a file not just seen");
        Check(std::strcmp(commandLine, "game main world") == 0, "command line changed");
        const std::uint32_t hash = Hash(path, seed_ * 31u);
        if (hash % 3 == 0) {
            started_ = true;
            return {true, static_cast<std::int32_t>(hash), 0};
        }
        return {false, 0, (hash & 1) ? kErrorFileNotFound : kErrorBadExeFormat};
    }

    bool IsLeadByte(unsigned char byte) override { return IsLeadByte932(byte); }

    const std::vector<std::string>& tested() const { return tested_; }
    bool started() const { return started_; }
    void Record(const char* path) { tested_.push_back(path); }

private:
    std::uint32_t seed_;
    bool started_ = false;
    std::vector<std::string> existing_;
    std::vector<std::string> tested_;
};

class RecordingStarter : public ArbitraryStarter {
public:
    using ArbitraryStarter::ArbitraryStarter;
    ExistenceResult Exists(const char* path) override {
        Record(path);
        return ArbitraryStarter::Exists(path);
    }
};

// Whether name holds a "/" character: the trail byte of a double-byte character is none.
bool HoldsSlash(const std::string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsLeadByte932(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) {
            ++i;
        } else if (name[i] == '/') {
            return true;
        }
    }
    return false;
}

} // namespace

// Input: one seed byte, then the name, a zero byte, then the PATH value (absent when no zero
// byte follows: no PATH variable).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::uint32_t seed = data[0];
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t split = rest.find('\0');
    const std::string name = rest.substr(0, split);
    const bool hasPath = split != std::string::npos;
    const std::string path = hasPath ? rest.substr(split + 1) : std::string();
    if (path.find('\0') != std::string::npos) {
        return 0; // an environment value holds no zero byte
    }

    RecordingStarter starter(seed);
    const std::int32_t result = StartProgramSearchingPath(starter, name.c_str(), "game main world",
                                                          hasPath ? path.c_str() : nullptr);

    Check(starter.started() || result == kStartFailed, "a failed search did not yield -1");
    for (const std::string& tested : starter.tested()) {
        if (HoldsSlash(name)) {
            Check(tested.compare(0, name.size(), name) == 0, "searched PATH for a name with /");
        }
        // A PATH candidate is an entry, its separator and the name, kept under the limit; ".\"
        // comes before it when the separator is the trail byte of a double-byte character.
        if (!(tested.size() <= name.size() + 2 + 4 || tested.size() < kSearchPathLimit + 2 + 4)) {
            std::fprintf(stderr, "path of %zu bytes: %s\n", tested.size(), tested.c_str());
            Check(false, "a searched path is longer than the limit allows");
        }
    }

    const std::string commandLine = BuildCommandLine(name.c_str(), "main", path.c_str());
    Check(name.empty() ? commandLine.empty()
                       : commandLine == name + " main " + path,
          "command line is not the words joined by blanks");
    return 0;
}
