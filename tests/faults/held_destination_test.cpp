// Destinations that can't be replaced when the launcher starts: held open by another process
// (here, the test itself) or marked read-only. The update waits in the patch while the
// destination keeps its old bytes, and the first start after the release puts it in place.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "launcher_installation.h"
#include "scratch_directory.h"
#include "stand_in_report.h"

namespace fs = std::filesystem;

namespace {

constexpr char kHeld[] = "data\\held.bin";
constexpr char kWaiting[] = "patch\\data\\held.bin";

// Keeps the destination from being replaced until Release; returns whether it could.
class Obstacle {
  public:
    virtual ~Obstacle() = default;
    virtual bool Apply() = 0;
    virtual void Release() = 0;
};

class OpenHandle : public Obstacle {
  public:
    explicit OpenHandle(DWORD share) : share_(share) {}
    ~OpenHandle() override { Release(); }
    bool Apply() override {
        file_ = CreateFileA(kHeld, GENERIC_READ | GENERIC_WRITE, share_, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        return file_ != INVALID_HANDLE_VALUE;
    }
    void Release() override {
        if (file_ != INVALID_HANDLE_VALUE) {
            CloseHandle(file_);
            file_ = INVALID_HANDLE_VALUE;
        }
    }

  private:
    DWORD share_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

class ReadOnlyAttribute : public Obstacle {
  public:
    bool Apply() override { return SetFileAttributesA(kHeld, FILE_ATTRIBUTE_READONLY) != 0; }
    void Release() override { SetFileAttributesA(kHeld, FILE_ATTRIBUTE_NORMAL); }
};

struct HeldCase {
    const char* name;
    Obstacle* (*make)();
    // Wine running as root replaces a read-only file, where Windows refuses.
    bool mayBeReplacedAnyway;
};

std::ostream& operator<<(std::ostream& out, const HeldCase& c) {
    return out << c.name;
}

class HeldDestination : public testing::TestWithParam<HeldCase> {
  protected:
    void SetUp() override {
        directory_ = WindowsPath(scratch_.path().string());
        SetEnvironmentVariableA("STAND_IN_REPORT", (directory_ + "\\report.txt").c_str());
        SetEnvironmentVariableA("STAND_IN_EXIT_CODES", "0");
        ASSERT_TRUE(CopyFileA(g_launcherPath.c_str(), "quorvanta.exe", FALSE));
        ASSERT_TRUE(CopyFileA(g_standInPath.c_str(), "javaw.exe", FALSE));
        WriteFileBytes("install.txt", "\r\nworld\r\nmain\r\n32\r\nnone\r\ngame\r\n");
        WriteFileBytes(kHeld, "old bytes");
        WriteFileBytes(kWaiting, "the complete new bytes");
        WriteFileBytes("patch\\data\\free.bin", "free");
    }

    DWORD RunLauncher() { return RunLauncherIn(directory_ + "\\quorvanta.exe", directory_); }

    ScratchDirectory scratch_;
    std::string directory_;
};

TEST_P(HeldDestination, UpdateWaitsAndIsAppliedAfterTheRelease) {
    const HeldCase& c = GetParam();
    std::unique_ptr<Obstacle> obstacle(c.make());
    ASSERT_TRUE(obstacle->Apply());

    EXPECT_EQ(RunLauncher(), 0u);

    EXPECT_EQ(ReadStandInReport("report.txt").size(), 1u);
    EXPECT_EQ(ReadFileBytes("data\\free.bin"), "free");
    EXPECT_FALSE(fs::exists("data\\held.bin.quorvanta-partial"));
    const bool replaced = !fs::exists(kWaiting);
    std::printf("%s: %s\n", c.name, replaced ? "replaced at once" : "waited");
    obstacle->Release(); // the test itself can read the destination again only now
    if (replaced) {
        EXPECT_TRUE(c.mayBeReplacedAnyway);
        EXPECT_EQ(ReadFileBytes(kHeld), "the complete new bytes");
    } else {
        EXPECT_EQ(ReadFileBytes(kWaiting), "the complete new bytes");
        EXPECT_EQ(ReadFileBytes(kHeld), "old bytes");
    }

    EXPECT_EQ(RunLauncher(), 0u);

    EXPECT_EQ(ReadStandInReport("report.txt").size(), 2u);
    EXPECT_EQ(ReadFileBytes(kHeld), "the complete new bytes");
    EXPECT_FALSE(fs::exists("patch\\data"));
    EXPECT_FALSE(fs::exists("data\\held.bin.quorvanta-partial"));
}

const HeldCase kHeldCases[] = {
    {"OpenWithoutSharing", [] { return static_cast<Obstacle*>(new OpenHandle(0)); }, false},
    {"OpenSharedForReading", [] { return static_cast<Obstacle*>(new OpenHandle(FILE_SHARE_READ)); },
     false},
    {"ReadOnly", [] { return static_cast<Obstacle*>(new ReadOnlyAttribute); }, true},
};

INSTANTIATE_TEST_SUITE_P(Launcher, HeldDestination, testing::ValuesIn(kHeldCases),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
