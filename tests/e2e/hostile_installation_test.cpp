// The whole launcher run in installations that are broken or hostile: each run must end with
// exit status 0, without a crash, and leave everything outside the installation directory as it
// was. Around the installation lie a sibling directory, a file beside it and a second copy of the
// launcher, all of which are compared byte for byte before and after the run.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "launcher_installation.h"
#include "scratch_directory.h"
#include "stand_in_report.h"

namespace fs = std::filesystem;

namespace {

// A tree prepared from the Linux side by deep_patch_tree.sh, deeper than any Windows path.
constexpr char kDeepTreeVariable[] = "QUORVANTA_DEEP_PATCH";
constexpr int kDeepTreeLevels = 40;
constexpr std::size_t kDeepTreeNameLength = 200;

// Every file and directory below root except the installation, with the files' bytes.
using Snapshot = std::map<std::string, std::string>;

Snapshot TakeSnapshot(const fs::path& root, const fs::path& installation) {
    Snapshot snapshot;
    for (auto entry = fs::recursive_directory_iterator(root);
         entry != fs::recursive_directory_iterator(); ++entry) {
        if (entry->path() == installation) {
            entry.disable_recursion_pending();
            continue;
        }
        const std::string name = fs::relative(entry->path(), root).string();
        snapshot[name] = entry->is_directory() ? "<directory>" : *ReadFileBytes(entry->path());
    }
    return snapshot;
}

std::string Garbage(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 23);
    }
    return bytes;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// A runtime prefix of exactly 255 bytes that still names the installation's jre\bin\.
std::string LongRuntimePrefix() {
    std::string prefix;
    for (int i = 0; i < 118; ++i) {
        prefix += ".\\";
    }
    return prefix + "..\\install\\jre\\bin\\";
}

class HostileInstallation;

struct HostileCase {
    const char* name;
    // Changes the standard installation (the working directory) into the hostile one.
    void (*prepare)(HostileInstallation&);
    // Checks what the run left inside the installation, beyond the status and the outside.
    void (*check)(HostileInstallation&);
};

std::ostream& operator<<(std::ostream& out, const HostileCase& c) {
    return out << c.name;
}

class HostileInstallation : public testing::TestWithParam<HostileCase> {
  public:
    void SetUp() override {
        root_ = scratch_.path();
        if (std::string(GetParam().name) == "PatchTree40LevelsDeep") {
            const char* deepTree = std::getenv(kDeepTreeVariable);
            if (deepTree == nullptr) {
                GTEST_SKIP() << "no deep patch tree prepared";
            }
            root_ = WindowsPath(deepTree);
        }
        installation_ = root_ / "install";
        fs::create_directories(installation_);
        fs::current_path(installation_);
        LayOutSurroundings();
        LayOutInstallation();
        SetEnvironmentVariableA("STAND_IN_REPORT", (installation_ / "report.txt").string().c_str());
        SetEnvironmentVariableA("STAND_IN_COUNTER", nullptr);
        SetEnvironmentVariableA("STAND_IN_EXIT_CODES", "0");
    }

    void TearDown() override { fs::current_path(scratch_.path()); }

    std::vector<StandInRun> GameRuns() { return ReadStandInReport("report.txt"); }

    // The launcher that the run starts; .\quorvanta.exe unless a case says otherwise.
    fs::path launcher_ = "quorvanta.exe";
    fs::path root_;
    fs::path installation_;

  private:
    void LayOutSurroundings() {
        WriteFileBytes(root_ / "beside.txt", "a file beside the installation");
        WriteFileBytes(root_ / "sibling" / "notes.txt", "notes");
        WriteFileBytes(root_ / "sibling" / "data" / "game.jar", "a game of another installation");
        WriteFileBytes(root_ / "sibling" / "quorvanta.exe", "another launcher");
        fs::create_directories(root_ / "outside");
        fs::copy_file(g_launcherPath, root_ / "outside" / "quorvanta.exe",
                      fs::copy_options::overwrite_existing);
    }

    void LayOutInstallation() {
        fs::copy_file(g_launcherPath, "quorvanta.exe", fs::copy_options::overwrite_existing);
        WriteFileBytes("install.txt", Lines({"jre\\bin\\", "world", "main", "32", "none", "game"}));
        WriteFileBytes("quorvanta.bmp", SolidBitmap(64, 32, RGB(0, 0x80, 0xFF)));
        for (const char* file : kBackendFiles) {
            WriteFileBytes(std::string("jre\\") + file, std::string("old ") + file);
            WriteFileBytes(std::string("jre\\opengl\\") + file, std::string("opengl ") + file);
            WriteFileBytes(std::string("jre\\directx\\") + file, std::string("directx ") + file);
        }
        fs::copy_file(g_standInPath, "jre\\bin\\javaw.exe", fs::copy_options::overwrite_existing);
        WriteFileBytes("patch\\game.jar", "patched game");
    }

    ScratchDirectory scratch_;
};

TEST_P(HostileInstallation, EndsWithStatusZeroAndTouchesNothingOutside) {
    const HostileCase& c = GetParam();
    c.prepare(*this);
    const Snapshot before = TakeSnapshot(root_, installation_);

    const std::string program =
        launcher_.is_absolute() ? launcher_.string() : (installation_ / launcher_).string();
    EXPECT_EQ(RunLauncherIn(program, installation_.string()), 0u);

    EXPECT_EQ(TakeSnapshot(root_, installation_), before);
    if (c.check != nullptr) {
        c.check(*this);
    }
}

void ExpectOneGameRun(HostileInstallation& test) {
    const std::vector<StandInRun> runs = test.GameRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].at("command_line"), "game main world");
    EXPECT_EQ(ReadFileBytes("game.jar"), "patched game");
}

const HostileCase kHostileCases[] = {
    {"GarbageSettings",
     [](HostileInstallation&) { WriteFileBytes("install.txt", Garbage(64 * 1024)); }, nullptr},
    // Ten lines of a million bytes each: every value keeps its first 255 bytes.
    {"TenMegabyteSettings",
     [](HostileInstallation&) {
         WriteFileBytes("install.txt",
                        Lines(std::vector<std::string>(10, std::string(1000000, 'x'))));
     },
     [](HostileInstallation&) {
         const std::string value(255, 'x');
         EXPECT_EQ(ReadFileBytes("output.txt"), value + "javaw" + value);
     }},
    // The program's name is the whole prefix followed by "javaw": 260 bytes, never cut.
    {"RuntimePrefixOf255Bytes",
     [](HostileInstallation&) {
         ASSERT_EQ(LongRuntimePrefix().size(), 255u);
         WriteFileBytes("install.txt",
                        Lines({LongRuntimePrefix(), "world", "main", "32", "none", "game"}));
     },
     [](HostileInstallation& test) {
         EXPECT_EQ(ReadFileBytes("output.txt"), LongRuntimePrefix() + "javaw" + "main");
         std::printf("a 260-byte program name: the game ran %zu times\n", test.GameRuns().size());
     }},
    // Only the first level's file has paths short enough to move; the levels below wait, and
    // deep_patch_tree.sh checks afterwards that every one of their files is still there.
    {"PatchTree40LevelsDeep", [](HostileInstallation&) {},
     [](HostileInstallation& test) {
         const std::string first(kDeepTreeNameLength, 'a');
         EXPECT_EQ(ReadFileBytes(first + "\\level.txt"), "level 1");
         EXPECT_FALSE(fs::exists("patch\\" + first + "\\level.txt"));
         EXPECT_TRUE(fs::exists("patch\\" + first));
         ExpectOneGameRun(test);
     }},
    {"SplashThatIsNotABitmap",
     [](HostileInstallation&) {
         WriteFileBytes("quorvanta.bmp", "BM this is no bitmap at all" + Garbage(5000));
     },
     ExpectOneGameRun},
    {"SplashOf4000By4000",
     [](HostileInstallation&) {
         WriteFileBytes("quorvanta.bmp", SolidBitmap(4000, 4000, RGB(0xFF, 0, 0)));
     },
     ExpectOneGameRun},
    // A switch asked for with neither build of the backend present, nor lib\ext: the request is
    // taken and the game still runs.
    {"RuntimeWithoutBackendFiles",
     [](HostileInstallation&) {
         fs::remove_all("jre\\opengl");
         fs::remove_all("jre\\directx");
         fs::remove_all("jre\\lib");
         WriteFileBytes("install.txt",
                        Lines({"jre\\bin\\", "world", "main", "32", "opengl", "game"}));
     },
     [](HostileInstallation& test) {
         EXPECT_EQ(ReadFileBytes("install.txt"),
                   Lines({"jre\\bin\\", "world", "main", "32", "graphicsChanged", "game"}));
         EXPECT_EQ(ReadFileBytes("jre\\bin\\j3d.dll"), "old bin\\j3d.dll");
         ExpectOneGameRun(test);
     }},
    // The game asks for a restart, but no .\quorvanta.exe is there to restart: the launcher
    // started from elsewhere still ends normally, after one game.
    {"RestartAskedWithoutLauncherInPlace",
     [](HostileInstallation& test) {
         fs::remove("quorvanta.exe");
         test.launcher_ = test.root_ / "outside" / "quorvanta.exe";
         SetEnvironmentVariableA("STAND_IN_EXIT_CODES", "0xFFFFFFFE");
     },
     ExpectOneGameRun},
};

INSTANTIATE_TEST_SUITE_P(Wine, HostileInstallation, testing::ValuesIn(kHostileCases),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
