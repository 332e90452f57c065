// The demo installation's game: a small window that says what it was started with, shown for a
// few seconds in the top-left corner so that the launcher's splash stays visible around it. It
// appends its command line to "demo_game.log" in its working directory and ends with status 0.
#include <windows.h>

#include <cstdio>

namespace {

constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kShowMilliseconds = 4000;

LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        char text[512];
        std::snprintf(text, sizeof text, "Demo game running\nstarted as: %s", GetCommandLineA());
        DrawTextA(dc, text, -1, &area, DT_CENTER | DT_WORDBREAK);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_TIMER:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void LogCommandLine() {
    if (std::FILE* log = std::fopen("demo_game.log", "ab")) {
        std::fprintf(log, "%s\n", GetCommandLineA());
        std::fclose(log);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    LogCommandLine();

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = GameWindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "DemoGameWindow";
    RegisterClassA(&windowClass);

    HWND window = CreateWindowExA(WS_EX_TOPMOST, "DemoGameWindow", "Demo game",
                                  WS_POPUP | WS_BORDER | WS_VISIBLE, 20, 20, 320, 90, nullptr,
                                  nullptr, instance, nullptr);
    SetTimer(window, kCloseTimer, kShowMilliseconds, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}
