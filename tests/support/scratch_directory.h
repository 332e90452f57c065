// A fresh, empty working directory for one test, removed again afterwards.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Whole-file helpers, byte for byte, relative to the working directory.
void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes);
std::optional<std::string> ReadFileBytes(const std::filesystem::path& file);
