// Keeps the virtual desktop (and the system processes behind it) alive between the benchmark's
// runs, so that every run finds the same, already running desktop. It owns one hidden window
// and runs until it is ended from outside.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "BenchDesktopHolder";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, "BenchDesktopHolder", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance,
                    nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}
