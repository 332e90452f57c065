#include "scratch_directory.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {
fs::path UniqueScratchPath() {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return fs::temp_directory_path() /
           ("quorvanta-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
}
} // namespace

ScratchDirectory::ScratchDirectory() : previous_(fs::current_path()), path_(UniqueScratchPath()) {
    if (!fs::create_directories(path_)) {
        throw std::runtime_error("cannot create " + path_.string());
    }
    fs::current_path(path_);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

void WriteFileBytes(const fs::path& file, const std::string& bytes) {
    if (file.has_parent_path()) {
        fs::create_directories(file.parent_path());
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

std::optional<std::string> ReadFileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
