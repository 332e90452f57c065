// Any bytes as "install.txt": reading must never overrun a field, every value must come out
// without line ends, and a taken request must leave a well-formed six-line file behind.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "install_settings.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void CheckField(const char* field, std::size_t size) {
    std::size_t length = strnlen(field, size);
    Check(length < size, "value has no terminator inside its field");
    Check(std::strpbrk(field, "\r\n") == nullptr, "value holds a line end");
}

std::string ReadAll(const char* name) {
    std::string bytes;
    if (std::FILE* file = std::fopen(name, "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.append(buffer, n);
        }
        std::fclose(file);
    }
    return bytes;
}

void EnterScratchDirectory() {
    static bool entered = false;
    if (!entered) {
        auto dir = std::filesystem::temp_directory_path() /
                   ("quorvanta-fuzz-settings-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        entered = true;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterScratchDirectory();
    if (std::FILE* file = std::fopen(kInstallFileName, "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }

    InstallSettings settings;
    std::memset(&settings, 0, sizeof settings);
    ReadInstallSettings(settings);

    for (const char* field : {settings.runtimePrefix, settings.childArg2, settings.childArg1,
                              settings.colourDepth, settings.graphicsRequest, settings.childArg0}) {
        CheckField(field, kTextFieldSize);
    }
    CheckField(settings.childProgram, kChildProgramSize);
    Check(std::string(settings.childProgram) == std::string(settings.runtimePrefix) + "javaw",
          "program is not the prefix followed by javaw");

    if (IsBackendRequest(settings.graphicsRequest)) {
        std::string expected;
        const char* lines[] = {settings.runtimePrefix, settings.childArg2, settings.childArg1,
                               settings.colourDepth,   "graphicsChanged",  settings.childArg0};
        for (const char* line : lines) {
            expected += std::string(line) + "\r\n";
        }
        Check(ReadAll(kInstallFileName) == expected, "rewritten file is not the six values");
    }
    return 0;
}
