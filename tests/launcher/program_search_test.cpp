#include "program_search.h"

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

// An existing file: either a program that ends with exitCode, or something the system refuses to
// start (a directory, a file that is no program) with startError.
struct FakeFile {
    std::int32_t exitCode = 0;
    std::optional<std::uint32_t> startError;
};

// A file system and process start in memory that records every call in order.
class FakeStarter : public ProgramStarter {
  public:
    std::map<std::string, FakeFile> files;
    // Error of the existence test for missing paths that begin with the key (the longest key
    // wins); kErrorFileNotFound otherwise.
    std::map<std::string, std::uint32_t> missingErrors;
    std::set<unsigned char> leadBytes;
    std::vector<std::string> calls;

    ExistenceResult Exists(const char* path) override {
        calls.push_back(std::string("exists ") + path);
        if (files.count(path) != 0) {
            return {true, 0};
        }
        std::uint32_t error = kErrorFileNotFound;
        std::size_t matched = 0;
        for (const auto& [prefix, prefixError] : missingErrors) {
            if (std::string(path).rfind(prefix, 0) == 0 && prefix.size() >= matched) {
                matched = prefix.size();
                error = prefixError;
            }
        }
        return {false, error};
    }

    StartResult Start(const char* path, const char* commandLine) override {
        calls.push_back(std::string("start ") + path + " [" + commandLine + "]");
        const FakeFile& file = files.at(path);
        if (file.startError) {
            return {false, 0, *file.startError};
        }
        return {true, file.exitCode, 0};
    }

    bool IsLeadByte(unsigned char byte) override { return leadBytes.count(byte) != 0; }
};

// Lead bytes of code page 932.
std::set<unsigned char> CodePage932LeadBytes() {
    std::set<unsigned char> bytes;
    for (int byte = 0x81; byte <= 0x9F; ++byte) {
        bytes.insert(static_cast<unsigned char>(byte));
    }
    for (int byte = 0xE0; byte <= 0xFC; ++byte) {
        bytes.insert(static_cast<unsigned char>(byte));
    }
    return bytes;
}

// Existence tests of base followed by ".com", ".exe", ".bat", ".cmd", stopping after `count`.
std::vector<std::string> Tries(const std::string& base, int count = 4) {
    const char* extensions[] = {".com", ".exe", ".bat", ".cmd"};
    std::vector<std::string> calls;
    for (int i = 0; i < count; ++i) {
        calls.push_back("exists " + base + extensions[i]);
    }
    return calls;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const FakeFile kProgram{7, std::nullopt};
const FakeFile kDirectory{0, kErrorAccessDenied};
const char kCommandLine[] = "game main world";
const std::string kStart = " [game main world]";
const std::string k257(257, 'p');
const std::string k258(258, 'p');

struct SearchCase {
    const char* title;
    std::string program;
    std::optional<std::string> path; // nullopt: no PATH variable
    std::vector<std::pair<std::string, FakeFile>> files;
    std::vector<std::string> calls;
    std::int32_t result;
    bool codePage932 = false;
    std::map<std::string, std::uint32_t> missingErrors = {};
};

const SearchCase kSearchCases[] = {
    {"ComIsTestedBeforeExe",
     "C:\\jre\\bin\\javaw",
     "C:\\other",
     {{"C:\\jre\\bin\\javaw.exe", kProgram}},
     Join({Tries("C:\\jre\\bin\\javaw", 2), {"start C:\\jre\\bin\\javaw.exe" + kStart}}),
     7},
    {"ComWinsOverExe",
     "C:\\jre\\bin\\javaw",
     std::nullopt,
     {{"C:\\jre\\bin\\javaw.com", kProgram}, {"C:\\jre\\bin\\javaw.exe", {1, std::nullopt}}},
     {"exists C:\\jre\\bin\\javaw.com", "start C:\\jre\\bin\\javaw.com" + kStart},
     7},
    {"BatBeforeCmd",
     "tool",
     std::nullopt,
     {{".\\tool.bat", kProgram}, {".\\tool.cmd", kProgram}},
     Join({Tries(".\\tool", 3), {"start .\\tool.bat" + kStart}}),
     7},
    {"BareNameIsLookedForInWorkingDirectory",
     "javaw",
     std::nullopt,
     {{".\\javaw.cmd", kProgram}},
     Join({Tries(".\\javaw"), {"start .\\javaw.cmd" + kStart}}),
     7},
    {"DotOnlyInDirectoryStillTriesExtensions",
     "C:\\my.jre\\bin\\javaw",
     std::nullopt,
     {},
     Tries("C:\\my.jre\\bin\\javaw"),
     kStartFailed},
    {"DotInFileNamePartIsTriedOnce",
     "C:\\jre\\bin\\javaw.exe",
     "C:\\p",
     {{"C:\\jre\\bin\\javaw.exe", kProgram}},
     {"exists C:\\jre\\bin\\javaw.exe", "start C:\\jre\\bin\\javaw.exe" + kStart},
     7},
    {"BareNameWithDotIsTriedOnce",
     "game.bin",
     std::nullopt,
     {},
     {"exists .\\game.bin"},
     kStartFailed},
    {"DirectoryNamedLikeCandidateEndsTheAttempt",
     "tool",
     "C:\\bin",
     {{".\\tool.com", kDirectory}, {".\\tool.exe", kProgram}, {"C:\\bin\\tool.exe", kProgram}},
     {"exists .\\tool.com", "start .\\tool.com" + kStart},
     kStartFailed},
    {"ColonNameGetsNoPrefix",
     "C:javaw",
     std::nullopt,
     {{"C:javaw.exe", kProgram}},
     Join({Tries("C:javaw", 2), {"start C:javaw.exe" + kStart}}),
     7},
    {"FileNamePartFollowsFirstColon", "a.b:c:d", std::nullopt, {}, Tries("a.b:c:d"), kStartFailed},
    {"DotAfterFirstColonCounts", "x:y:z.q", std::nullopt, {}, {"exists x:y:z.q"}, kStartFailed},
    {"LaterSlashEndsDirectoryPart",
     "C:\\d.x/javaw",
     std::nullopt,
     {},
     Tries("C:\\d.x/javaw"),
     kStartFailed},
    {"LaterBackslashEndsDirectoryPart",
     "C:/d.x\\javaw",
     std::nullopt,
     {},
     Tries("C:/d.x\\javaw"),
     kStartFailed},
    {"NameWithSlashIsNotSearched",
     "bin/javaw",
     "C:\\bin",
     {{"C:\\bin\\bin/javaw.exe", kProgram}},
     Tries("bin/javaw"),
     kStartFailed},
    {"NameWithBackslashIsSearchedAsPassed",
     ".\\javaw",
     "C:\\a",
     {{"C:\\a\\.\\javaw.exe", kProgram}},
     Join({Tries(".\\javaw"), Tries("C:\\a\\.\\javaw", 2), {"start C:\\a\\.\\javaw.exe" + kStart}}),
     7},
    {"NameWithColonIsSearched",
     "D:javaw",
     "C:\\a",
     {},
     Join({Tries("D:javaw"), Tries("C:\\a\\D:javaw")}),
     kStartFailed},
    {"NoPathVariableNoSearch",
     "javaw",
     std::nullopt,
     {{"C:\\bin\\javaw.exe", kProgram}},
     Tries(".\\javaw"),
     kStartFailed},
    {"EmptyProgram",
     "",
     "C:\\bin;D:\\",
     {},
     Join({Tries(".\\"), Tries("C:\\bin\\"), Tries("D:\\")}),
     kStartFailed},
    {"JavawAlongPath",
     "javaw",
     "C:\\one;D:\\two\\",
     {{"D:\\two\\javaw.cmd", kProgram}},
     Join({Tries(".\\javaw"),
           Tries("C:\\one\\javaw"),
           Tries("D:\\two\\javaw"),
           {"start D:\\two\\javaw.cmd" + kStart}}),
     7},
    {"QuotedEntryKeepsSemicolon",
     "javaw",
     "\"C:\\a;b\";C:\\c",
     {{"C:\\c\\javaw.com", kProgram}},
     Join({Tries(".\\javaw"),
           Tries("C:\\a;b\\javaw"),
           Tries("C:\\c\\javaw", 1),
           {"start C:\\c\\javaw.com" + kStart}}),
     7},
    {"QuotesInsideEntryAreDropped",
     "javaw",
     "C:\\\"x\"y",
     {},
     Join({Tries(".\\javaw"), Tries("C:\\xy\\javaw")}),
     kStartFailed},
    {"EmptyEntriesAreSkipped",
     "javaw",
     ";;C:\\a;;",
     {},
     Join({Tries(".\\javaw"), Tries("C:\\a\\javaw")}),
     kStartFailed},
    {"EntryEmptyOnceUnquotedEndsSearch",
     "javaw",
     "C:\\a;\"\";C:\\b",
     {},
     Join({Tries(".\\javaw"), Tries("C:\\a\\javaw")}),
     kStartFailed},
    {"EntryEndingInSlashGetsNoBackslash",
     "javaw",
     "C:/tools/",
     {},
     Join({Tries(".\\javaw"), Tries("C:/tools/javaw")}),
     kStartFailed},
    {"EntryEndingInBackslashGetsNoSecond",
     "javaw",
     "C:\\tools\\",
     {},
     Join({Tries(".\\javaw"), Tries("C:\\tools\\javaw")}),
     kStartFailed},
    {"Entry257IsUsed",
     "j",
     k257 + ";C:\\b",
     {{"C:\\b\\j.com", kProgram}},
     Join({Tries(".\\j"),
           Tries(k257 + "\\j"),
           {"exists C:\\b\\j.com", "start C:\\b\\j.com" + kStart}}),
     7},
    {"Entry258EndsSearch",
     "j",
     k258 + ";C:\\b",
     {{"C:\\b\\j.com", kProgram}},
     Tries(".\\j"),
     kStartFailed},
    {"QuotesDoNotCountTowardsEntryLimit",
     "j",
     "\"" + k257 + "\"",
     {},
     Join({Tries(".\\j"), Tries(k257 + "\\j")}),
     kStartFailed},
    {"EntryAndNameOf260EndSearch",
     "jv",
     k257 + ";C:\\b",
     {{"C:\\b\\jv.com", kProgram}},
     Tries(".\\jv"),
     kStartFailed},
    {"EntryWithOwnBackslashAndNameOf259AreUsed",
     "abc",
     std::string(255, 'p') + "\\",
     {},
     Join({Tries(".\\abc"), Tries(std::string(255, 'p') + "\\abc")}),
     kStartFailed},
    {"EntryWithOwnBackslashAndNameOf260EndSearch",
     "abcd",
     std::string(255, 'p') + "\\",
     {},
     Tries(".\\abcd"),
     kStartFailed},
    {"OtherFailureInPathEndsSearch",
     "javaw",
     "C:\\a;C:\\b",
     {{"C:\\a\\javaw.com", kDirectory}, {"C:\\b\\javaw.com", kProgram}},
     Join({Tries(".\\javaw"), {"exists C:\\a\\javaw.com", "start C:\\a\\javaw.com" + kStart}}),
     kStartFailed},
    {"NetworkEntryFailureGoesOn",
     "javaw",
     "\\\\server\\share;//host/dir;C:\\b",
     {{"\\\\server\\share\\javaw.com", kDirectory}, {"C:\\b\\javaw.com", kProgram}},
     Join({Tries(".\\javaw"),
           {"exists \\\\server\\share\\javaw.com", "start \\\\server\\share\\javaw.com" + kStart},
           Tries("//host/dir\\javaw"),
           {"exists C:\\b\\javaw.com", "start C:\\b\\javaw.com" + kStart}}),
     7,
     false,
     {{"//host/dir", kErrorAccessDenied}}},
    {"MixedSeparatorsMakeANetworkEntry",
     "javaw",
     "\\/host;C:\\b",
     {{"\\/host\\javaw.com", kDirectory}, {"C:\\b\\javaw.com", kProgram}},
     Join({Tries(".\\javaw"),
           {"exists \\/host\\javaw.com", "start \\/host\\javaw.com" + kStart},
           {"exists C:\\b\\javaw.com", "start C:\\b\\javaw.com" + kStart}}),
     7},
    {"LastExistenceErrorDecidesTheSearch",
     "javaw",
     "C:\\b",
     {},
     Tries(".\\javaw"),
     kStartFailed,
     false,
     {{".\\javaw.cmd", kErrorAccessDenied}}},
    {"EarlierOtherErrorDoesNotStopTheSearch",
     "javaw",
     "C:\\b",
     {},
     Join({Tries(".\\javaw"), Tries("C:\\b\\javaw")}),
     kStartFailed,
     false,
     {{".\\javaw.com", kErrorAccessDenied}}},
    // 0x95 0x5C is one double-byte character of code page 932; its 0x5C is no separator.
    {"TrailByteIsNoSeparatorInName",
     "\x95\x5Cjavaw",
     std::nullopt,
     {},
     Tries(".\\\x95\x5Cjavaw"),
     kStartFailed,
     true},
    {"TrailByteDoesNotStartFileNamePart",
     "C:\\v1.\x95\x5Cjavaw",
     std::nullopt,
     {},
     {"exists C:\\v1.\x95\x5Cjavaw"},
     kStartFailed,
     true},
    {"TrailByteAtEntryEndGetsBackslash",
     "javaw",
     "C:\\\x95\x5C",
     {},
     Join({Tries(".\\javaw"), Tries("C:\\\x95\x5C\\javaw")}),
     kStartFailed,
     true},
    {"WithoutDoubleByteCodePageTheSameByteSeparates",
     "C:\\v1.\x95\x5Cjavaw",
     std::nullopt,
     {},
     Tries("C:\\v1.\x95\x5Cjavaw"),
     kStartFailed,
     false},
};

void PrintTo(const SearchCase& c, std::ostream* out) { *out << c.title; }

class SearchTest : public testing::TestWithParam<SearchCase> {};

TEST_P(SearchTest, TriesCandidatesInOrderAndYieldsResult) {
    const SearchCase& c = GetParam();
    FakeStarter starter;
    for (const auto& [path, file] : c.files) {
        starter.files[path] = file;
    }
    starter.missingErrors = c.missingErrors;
    if (c.codePage932) {
        starter.leadBytes = CodePage932LeadBytes();
    }
    const std::int32_t result = StartProgramSearchingPath(starter, c.program.c_str(), kCommandLine,
                                                          c.path ? c.path->c_str() : nullptr);
    EXPECT_EQ(starter.calls, c.calls);
    EXPECT_EQ(result, c.result);
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchTest, testing::ValuesIn(kSearchCases),
                         [](const auto& testCase) { return std::string(testCase.param.title); });

// The attempt on the name fails with `error` at every candidate; the program is in the second
// PATH entry.
class FailureErrorTest : public testing::TestWithParam<std::pair<std::uint32_t, bool>> {};

TEST_P(FailureErrorTest, OnlyNotFoundErrorsGoOnAlongPath) {
    const auto [error, notFound] = GetParam();
    EXPECT_EQ(IsNotFoundError(error), notFound);

    FakeStarter direct;
    direct.missingErrors[".\\"] = error;
    direct.files["C:\\b\\javaw.exe"] = kProgram;
    EXPECT_EQ(StartProgramSearchingPath(direct, "javaw", kCommandLine, "C:\\b"),
              notFound ? 7 : kStartFailed);

    FakeStarter alongPath;
    alongPath.missingErrors["C:\\a\\"] = error;
    alongPath.files["C:\\b\\javaw.exe"] = kProgram;
    EXPECT_EQ(StartProgramSearchingPath(alongPath, "javaw", kCommandLine, "C:\\a;C:\\b"),
              notFound ? 7 : kStartFailed);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FailureErrorTest,
    testing::Values(std::pair{kErrorFileNotFound, true}, std::pair{kErrorPathNotFound, true},
                    std::pair{kErrorInvalidDrive, true}, std::pair{kErrorNoMoreFiles, true},
                    std::pair{kErrorBadNetPath, true}, std::pair{kErrorBadNetName, true},
                    std::pair{kErrorBadPathname, true}, std::pair{kErrorFilenameExcedRange, true},
                    std::pair{kErrorAccessDenied, false}, std::pair{kErrorBadExeFormat, false},
                    std::pair{std::uint32_t{1}, false}, std::pair{std::uint32_t{32}, false},
                    std::pair{std::uint32_t{123}, false}));

TEST(StartProgramTest, ResolvesInWorkingDirectoryOnly) {
    FakeStarter starter;
    starter.files[".\\quorvanta.exe"] = {0, std::nullopt};
    EXPECT_EQ(StartProgram(starter, "quorvanta.exe", "noargs"), 0);
    EXPECT_EQ(starter.calls, (std::vector<std::string>{"exists .\\quorvanta.exe",
                                                       "start .\\quorvanta.exe [noargs]"}));

    FakeStarter missing;
    EXPECT_EQ(StartProgram(missing, "quorvanta.exe", "noargs"), kStartFailed);
    EXPECT_EQ(missing.calls, std::vector<std::string>{"exists .\\quorvanta.exe"});
}

TEST(StartProgramTest, ExitCodesPassThroughUnchanged) {
    for (const std::int32_t code : {0, 1, -1, -2, INT32_MIN, INT32_MAX}) {
        FakeStarter starter;
        starter.files[".\\javaw.com"] = {code, std::nullopt};
        EXPECT_EQ(StartProgramSearchingPath(starter, "javaw", "", nullptr), code);
    }
}

struct CommandLineCase {
    const char* words[3];
    const char* commandLine;
};

TEST(CommandLineTest, JoinsWordsWithOneBlankAndNoQuoting) {
    const CommandLineCase cases[] = {
        {{"game", "main", "world"}, "game main world"},
        {{"", "main", "world"}, ""},
        {{"", "", ""}, ""},
        {{"game", "", "world"}, "game  world"},
        {{"game", "main", ""}, "game main "},
        {{"a b", "\"q\"", "t\tu"}, "a b \"q\" t\tu"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildCommandLine(c.words[0], c.words[1], c.words[2]), c.commandLine)
            << c.words[0] << "|" << c.words[1] << "|" << c.words[2];
    }
}

} // namespace
