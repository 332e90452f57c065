// "install.txt" that can be read but not rewritten: the request must survive in the file for the
// next run and stay in memory for this one. As root a read-only attribute does not stop a write
// under Wine, so the file is held open by a handle that shares reading only.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "install_settings.h"
#include "scratch_directory.h"

namespace {

TEST(InstallSettingsLockedFile, RequestIsKeptWhenFileCannotBeRewritten) {
    ScratchDirectory scratch;
    const std::string original = "p\r\nw2\r\nw1\r\n32\r\nopengl\r\nw0\r\n";
    WriteFileBytes(kInstallFileName, original);
    HANDLE holder = CreateFileA(kInstallFileName, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    InstallSettings settings{};
    ReadInstallSettings(settings);
    CloseHandle(holder);

    EXPECT_STREQ(settings.graphicsRequest, "opengl");
    EXPECT_STREQ(settings.childProgram, "pjavaw");
    EXPECT_EQ(ReadFileBytes(kInstallFileName), original);
}

} // namespace
