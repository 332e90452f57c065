// Holds a file open for a test, the way another program that uses the file would, until the test
// lets go:
//   file_holder.exe PATH none|read READY_EVENT RELEASE_EVENT
// "none" shares the file with nobody; "read" lets others read it but not write or delete it.
// Signals READY_EVENT once the file is open, closes it when RELEASE_EVENT is signalled. Exit
// status 0, or 2 when the file could not be opened, 3 on a wrong command line.
#include <windows.h>

#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc != 5) {
        return 3;
    }
    const DWORD share = std::strcmp(__argv[2], "read") == 0 ? FILE_SHARE_READ : 0;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, __argv[3]);
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, __argv[4]);
    if (ready == nullptr || release == nullptr) {
        return 3;
    }
    HANDLE file = CreateFileA(__argv[1], GENERIC_READ | GENERIC_WRITE, share, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 2;
    }
    SetEvent(ready);
    WaitForSingleObject(release, INFINITE);
    CloseHandle(file);
    return 0;
}
