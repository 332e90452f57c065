// The resources of the built quorvanta.exe, read back from the file: the splash dialog template,
// the version information and the manifest, all in U.S. English. The executable's path is the
// program's first argument.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::string g_executable;
constexpr WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
static_assert(kUsEnglish == 0x0409, "U.S. English");

// Wine takes a Unix path's "/" as the root of the current drive, which for a test run from the
// Unix file system is Z:.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

class ExecutableResources : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = LoadLibraryExA(g_executable.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr)
            << "cannot open " << g_executable << ", error " << GetLastError();
    }
    void TearDown() override {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }

    // The bytes of one resource in U.S. English; empty when there is none.
    std::vector<std::uint8_t> Resource(LPCSTR type, LPCSTR name) {
        HRSRC found = FindResourceExA(module_, type, name, kUsEnglish);
        if (found == nullptr) {
            return {};
        }
        HGLOBAL loaded = LoadResource(module_, found);
        const auto* bytes = static_cast<const std::uint8_t*>(LockResource(loaded));
        return std::vector<std::uint8_t>(bytes, bytes + SizeofResource(module_, found));
    }

    HMODULE module_ = nullptr;
};

// Reads a dialog template field by field, in file order.
class TemplateReader {
  public:
    explicit TemplateReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    template <typename T> T Read() {
        T value{};
        if (offset_ + sizeof value > bytes_.size()) {
            ADD_FAILURE() << "template ends at byte " << offset_;
            return value;
        }
        std::memcpy(&value, bytes_.data() + offset_, sizeof value);
        offset_ += sizeof value;
        return value;
    }
    // A zero-terminated UTF-16 text of ASCII characters.
    std::string ReadText() {
        std::string text;
        for (WORD c = Read<WORD>(); c != 0 && offset_ < bytes_.size(); c = Read<WORD>()) {
            text += static_cast<char>(c);
        }
        return text;
    }
    // A name-or-ordinal field: "" for none, "#n" for an ordinal, or the name.
    std::string ReadNameOrOrdinal() {
        WORD first = Read<WORD>();
        if (first == 0) {
            return "";
        }
        if (first == 0xFFFF) {
            return "#" + std::to_string(Read<WORD>());
        }
        offset_ -= sizeof first;
        return ReadText();
    }
    std::size_t Offset() const { return offset_; }

  private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t offset_ = 0;
};

TEST_F(ExecutableResources, SplashTemplateIsAnExtendedBorderedPopupWithoutControls) {
    std::vector<std::uint8_t> bytes = Resource(RT_DIALOG, MAKEINTRESOURCEA(102));
    ASSERT_FALSE(bytes.empty()) << "no U.S. English dialog 102";
    TemplateReader reader(bytes);

    EXPECT_EQ(reader.Read<WORD>(), 1) << "version";
    EXPECT_EQ(reader.Read<WORD>(), 0xFFFF) << "signature of the extended form";
    EXPECT_EQ(reader.Read<DWORD>(), 0u) << "help identifier";
    EXPECT_EQ(reader.Read<DWORD>(), 0u) << "extended style";
    const DWORD style = reader.Read<DWORD>();
    EXPECT_EQ(style, 0x80880040u);
    EXPECT_EQ(style, static_cast<DWORD>(WS_POPUP | WS_BORDER | WS_SYSMENU | DS_SETFONT));
    EXPECT_EQ(style & WS_VISIBLE, 0u) << "created hidden";
    EXPECT_NE(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION)) << "no title bar";
    EXPECT_EQ(reader.Read<WORD>(), 0) << "controls";
    EXPECT_EQ(reader.Read<SHORT>(), 0) << "x";
    EXPECT_EQ(reader.Read<SHORT>(), 0) << "y";
    EXPECT_EQ(reader.Read<SHORT>(), 2000) << "width";
    EXPECT_EQ(reader.Read<SHORT>(), 2000) << "height";
    EXPECT_EQ(reader.ReadNameOrOrdinal(), "") << "menu";
    EXPECT_EQ(reader.ReadNameOrOrdinal(), "") << "window class: the standard dialog class";
    EXPECT_EQ(reader.ReadText(), "") << "title";
    EXPECT_EQ(reader.Read<WORD>(), 8) << "point size";
    EXPECT_EQ(reader.Read<WORD>(), 0) << "weight";
    EXPECT_EQ(reader.Read<BYTE>(), 0) << "italic";
    EXPECT_EQ(reader.Read<BYTE>(), DEFAULT_CHARSET) << "character set";
    EXPECT_EQ(reader.ReadText(), "MS Sans Serif");
    EXPECT_LE(bytes.size() - reader.Offset(), 3u) << "nothing but padding after the font";
}

// Adds a resource type to the set that found points to; a named type counts as 0.
BOOL CALLBACK CollectType(HMODULE, LPSTR type, LONG_PTR found) {
    reinterpret_cast<std::set<std::uintptr_t>*>(found)->insert(
        IS_INTRESOURCE(type) ? reinterpret_cast<std::uintptr_t>(type) : 0);
    return TRUE;
}

TEST_F(ExecutableResources, CarriesOnlyTheDialogTheVersionAndTheManifest) {
    std::set<std::uintptr_t> types;
    EnumResourceTypesA(module_, CollectType, reinterpret_cast<LONG_PTR>(&types));
    const auto id = [](LPCSTR type) { return reinterpret_cast<std::uintptr_t>(type); };
    EXPECT_EQ(types, (std::set<std::uintptr_t>{id(RT_DIALOG), id(RT_VERSION), id(RT_MANIFEST)}));
    EXPECT_EQ(FindResourceA(module_, MAKEINTRESOURCEA(128), RT_GROUP_ICON), nullptr)
        << "the launcher has no icon of its own";
}

TEST_F(ExecutableResources, VersionInformationNamesTheApplication) {
    ASSERT_FALSE(Resource(RT_VERSION, MAKEINTRESOURCEA(1)).empty())
        << "no U.S. English version resource";
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(g_executable.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(g_executable.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u) << "1.0";
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u) << "0.1";
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));

    struct Expected {
        const char* name;
        const char* value;
    };
    const Expected strings[] = {
        {"CompanyName", ""},
        {"FileDescription", "Quorvanta MFC Application"},
        {"FileVersion", "1, 0, 0, 1"},
        {"InternalName", "Quorvanta"},
        {"OriginalFilename", "Quorvanta.EXE"},
        {"ProductName", "Quorvanta Application"},
        {"ProductVersion", "1, 0, 0, 1"},
    };
    for (const Expected& expected : strings) {
        const std::string path = std::string("\\StringFileInfo\\040904b0\\") + expected.name;
        char* value = nullptr;
        UINT valueLength = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value),
                                   &valueLength))
            << expected.name;
        EXPECT_STREQ(value != nullptr ? value : "", expected.value) << expected.name;
    }

    WORD* translation = nullptr;
    UINT translationLength = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &translationLength));
    ASSERT_EQ(translationLength, 4u) << "exactly one translation";
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);
}

TEST_F(ExecutableResources, ManifestDeclaresTheProcessDpiAware) {
    std::vector<std::uint8_t> bytes = Resource(RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID);
    ASSERT_FALSE(bytes.empty()) << "no U.S. English process manifest";
    const std::string manifest(bytes.begin(), bytes.end());

    const std::string open = "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                             "WindowsSettings\">";
    const std::size_t at = manifest.find(open);
    ASSERT_NE(at, std::string::npos) << manifest;
    const std::string value = "true</dpiAware>";
    EXPECT_EQ(manifest.compare(at + open.size(), value.size(), value), 0) << manifest;
    EXPECT_LT(manifest.find("<windowsSettings>"), at);
    EXPECT_GT(manifest.find("</windowsSettings>"), at);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PATH-OF-quorvanta.exe\n", argv[0]);
        return 2;
    }
    g_executable = WindowsPath(argv[1]);
    return RUN_ALL_TESTS();
}
