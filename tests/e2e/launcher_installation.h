// Pieces shared by the tests that run the whole launcher in a scratch installation: Wine's view
// of Unix paths, the backend files of the Java runtime, splash bitmaps, and starting the launcher
// and waiting until every copy of it has ended.
#pragma once

#include <windows.h>

#include <tlhelp32.h>

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

// The launcher and the stand-in game under test, as the program's two arguments name them
// (launcher_test_main.cpp).
extern std::string g_launcherPath;
extern std::string g_standInPath;

// Wine shows the Unix file system as drive Z:.
inline std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

inline const char* const kBackendFiles[] = {"bin\\j3daudio.dll", "bin\\j3d.dll",
                                            "lib\\ext\\j3dutils.jar", "lib\\ext\\j3dcore.jar",
                                            "lib\\ext\\j3daudio.jar"};

// A 24-bit bottom-up bitmap file of one colour.
inline std::string SolidBitmap(int width, int height, COLORREF colour) {
    const int stride = (width * 3 + 3) & ~3;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(stride) * height;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixelBytes;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    std::string row(static_cast<std::size_t>(stride), '\0');
    for (int x = 0; x < width; ++x) {
        row[x * 3] = static_cast<char>(GetBValue(colour));
        row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
        row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
    }
    bytes.reserve(bytes.size() + pixelBytes);
    for (int y = 0; y < height; ++y) {
        bytes += row;
    }
    return bytes;
}

inline int CountLaunchers() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int count = 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, "quorvanta.exe") == 0) {
            ++count;
        }
    }
    CloseHandle(snapshot);
    return count;
}

// A relaunched copy outlives the launcher the test started: wait until every copy has ended.
inline bool WaitForAllLaunchers() {
    for (int i = 0; i < 1200; ++i) {
        if (CountLaunchers() == 0) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

// Starts the launcher at program with the command line a user's start gives it, in the working
// directory, and returns its exit status once it and every copy it started have ended.
inline DWORD RunLauncherIn(const std::string& program, const std::string& workingDirectory) {
    char commandLine[] = "quorvanta.exe";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory.c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start " << program << ": error " << GetLastError();
        return 0xDEAD;
    }
    DWORD status = 0xDEAD;
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &status);
    } else {
        ADD_FAILURE() << "the launcher did not end within two minutes";
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_TRUE(WaitForAllLaunchers());
    return status;
}
