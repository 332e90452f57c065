#include "install_settings.h"

#include <array>
#include <cstring>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "scratch_directory.h"

namespace {

using namespace std::string_literals;

struct SettingsCase {
    const char* name;
    std::optional<std::string> installFile; // nullopt: no "install.txt"
    std::array<std::string, 6> values;      // in file order: prefix, arg2, arg1, depth, request, arg0
    std::string childProgram;
    std::optional<std::string> rewritten;  // nullopt: "install.txt" stays as it was
    std::optional<std::string> outputAfterRead;
};

std::string Repeat(char byte, std::size_t count) { return std::string(count, byte); }

const std::string kSixLinesCrLf = "C:\\Game\\jre\\bin\\\r\nworld\r\nmain\r\n32\r\nnone\r\ngame\r\n";

const SettingsCase kCases[] = {
    {"CrLfLines", kSixLinesCrLf,
     {"C:\\Game\\jre\\bin\\", "world", "main", "32", "none", "game"},
     "C:\\Game\\jre\\bin\\javaw", std::nullopt, std::nullopt},
    {"BareLineFeeds", "C:\\Game\\jre\\bin\\\nworld\nmain\n32\nnone\ngame\n",
     {"C:\\Game\\jre\\bin\\", "world", "main", "32", "none", "game"},
     "C:\\Game\\jre\\bin\\javaw", std::nullopt, std::nullopt},
    {"LastLineWithoutLineEnd", "p\r\na2\r\na1\r\n16\r\n\r\nlast word",
     {"p", "a2", "a1", "16", "", "last word"}, "pjavaw", std::nullopt, std::nullopt},
    {"BlankAfter32IsKept", "\r\n\r\n\r\n32 \r\n\r\n\r\n",
     {"", "", "", "32 ", "", ""}, "javaw", std::nullopt, std::nullopt},
    {"LoneCarriageReturnEndsValue", "ab\rcd\r\nnext\r\n",
     {"ab", "next", "", "", "", ""}, "abjavaw", std::nullopt, std::nullopt},
    {"CarriageReturnBeforeLineEnd", "ab\r\r\nnext\n",
     {"ab", "next", "", "", "", ""}, "abjavaw", std::nullopt, std::nullopt},
    {"Line254IsReadWhole", Repeat('p', 254) + "\r\nsecond\r\n",
     {Repeat('p', 254), "second", "", "", "", ""}, Repeat('p', 254) + "javaw", std::nullopt,
     std::nullopt},
    {"Line255DoesNotSpill", Repeat('p', 255) + "\r\nsecond\r\nthird\r\n",
     {Repeat('p', 255), "second", "third", "", "", ""}, Repeat('p', 255) + "javaw", std::nullopt,
     std::nullopt},
    {"Line256IsCutAndRestPassedOver", Repeat('p', 255) + "X\r\nsecond\r\nthird\r\n",
     {Repeat('p', 255), "second", "third", "", "", ""}, Repeat('p', 255) + "javaw", std::nullopt,
     std::nullopt},
    {"VeryLongLineIsCutAndRestPassedOver", "a\n" + Repeat('q', 1000) + "\nb\nc\nd\ne\nnever\n",
     {"a", Repeat('q', 255), "b", "c", "d", "e"}, "ajavaw", std::nullopt, std::nullopt},
    {"ControlZInLine3EndsFile", "a\r\nb\r\nc\x1A" "d\r\ne\r\nf\r\n",
     {"a", "b", "c", "", "", ""}, "ajavaw", std::nullopt, std::nullopt},
    {"ZeroByteEndsValue", "ab\0cd\r\nnext\r\n"s,
     {"ab", "next", "", "", "", ""}, "abjavaw", std::nullopt, std::nullopt},
    {"EmptyFile", std::string(), {"", "", "", "", "", ""}, "javaw", std::nullopt, std::nullopt},
    {"MissingFile", std::nullopt, {"", "", "", "", "", ""}, "", std::nullopt,
     std::string("ERROR READING install.txt")},
    {"FiveLinesWithRequest", "jre\\bin\\\nw2\nw1\n32\nopengl\n",
     {"jre\\bin\\", "w2", "w1", "32", "opengl", ""}, "jre\\bin\\javaw",
     std::string("jre\\bin\\\r\nw2\r\nw1\r\n32\r\ngraphicsChanged\r\n\r\n"), std::nullopt},
    {"EightLinesWithRequest", "p\r\nw2\r\nw1\r\n16\r\ndirectx\r\nw0\r\nseven\r\neight\r\n",
     {"p", "w2", "w1", "16", "directx", "w0"}, "pjavaw",
     std::string("p\r\nw2\r\nw1\r\n16\r\ngraphicsChanged\r\nw0\r\n"), std::nullopt},
    {"RequestRewriteWritesValuesAsCut", "pre\rfix\nw2\x00tail\nw1\n32\nopengl\n"s + Repeat('z', 300),
     {"pre", "w2", "w1", "32", "opengl", Repeat('z', 255)}, "prejavaw",
     "pre\r\nw2\r\nw1\r\n32\r\ngraphicsChanged\r\n" + Repeat('z', 255) + "\r\n", std::nullopt},
    {"RequestWithTrailingBlankIsNoRequest", "p\nw2\nw1\n32\nopengl \nw0\n",
     {"p", "w2", "w1", "32", "opengl ", "w0"}, "pjavaw", std::nullopt, std::nullopt},
    {"RequestInOtherCaseIsNoRequest", "p\nw2\nw1\n32\nOpenGL\nw0\n",
     {"p", "w2", "w1", "32", "OpenGL", "w0"}, "pjavaw", std::nullopt, std::nullopt},
    {"RequestAlreadyTaken", "p\r\nw2\r\nw1\r\n32\r\ngraphicsChanged\r\nw0\r\n",
     {"p", "w2", "w1", "32", "graphicsChanged", "w0"}, "pjavaw", std::nullopt, std::nullopt},
};

class InstallSettingsFile : public testing::TestWithParam<SettingsCase> {};

std::array<std::string, 6> ValuesOf(const InstallSettings& s) {
    return {s.runtimePrefix, s.childArg2, s.childArg1, s.colourDepth, s.graphicsRequest,
            s.childArg0};
}

TEST_P(InstallSettingsFile, ReadsValuesAndRewritesRequests) {
    const SettingsCase& c = GetParam();
    ScratchDirectory scratch;
    if (c.installFile) {
        WriteFileBytes(kInstallFileName, *c.installFile);
    }

    InstallSettings settings{};
    ReadInstallSettings(settings);

    EXPECT_EQ(ValuesOf(settings), c.values);
    EXPECT_EQ(settings.childProgram, c.childProgram);
    EXPECT_EQ(ReadFileBytes(kInstallFileName), c.rewritten ? c.rewritten : c.installFile);
    EXPECT_EQ(ReadFileBytes(kDiagnosticsFileName), c.outputAfterRead);

    WriteLaunchDiagnostics(settings);
    EXPECT_EQ(ReadFileBytes(kDiagnosticsFileName), c.childProgram + c.values[2]);
}

INSTANTIATE_TEST_SUITE_P(Cases, InstallSettingsFile, testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(InstallSettings, EveryValueFitsItsFieldWithTerminator) {
    ScratchDirectory scratch;
    std::string file;
    for (int line = 0; line < 6; ++line) {
        file += Repeat(static_cast<char>('a' + line), 400) + "\r\n";
    }
    WriteFileBytes(kInstallFileName, file);

    InstallSettings settings{};
    ReadInstallSettings(settings);

    for (const std::string& value : ValuesOf(settings)) {
        EXPECT_EQ(value.size(), 255u);
    }
    EXPECT_EQ(std::strlen(settings.childProgram), 260u);
}

TEST(InstallSettings, DiagnosticsHoldProgramThenSecondWordWithoutSeparator) {
    ScratchDirectory scratch;
    WriteFileBytes(kInstallFileName, "0123456789\nx\nmain\n");
    WriteFileBytes(kDiagnosticsFileName, "an older and much longer diagnostics text");

    InstallSettings settings{};
    ReadInstallSettings(settings);
    WriteLaunchDiagnostics(settings);

    EXPECT_EQ(ReadFileBytes(kDiagnosticsFileName), std::string("0123456789javawmain"));
}

TEST(CutAtLineEnd, EndsTextAtFirstCarriageReturnOrLineFeed) {
    struct Row {
        const char* in;
        const char* out;
    };
    for (const Row& row : {Row{"abc", "abc"}, Row{"ab\ncd", "ab"}, Row{"ab\rcd\n", "ab"},
                           Row{"\n", ""}, Row{"", ""}, Row{"a\n\r", "a"}}) {
        char text[16];
        std::strcpy(text, row.in);
        CutAtLineEnd(text);
        EXPECT_STREQ(text, row.out) << "input " << testing::PrintToString(row.in);
    }
}

} // namespace
