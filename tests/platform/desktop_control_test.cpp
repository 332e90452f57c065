// The taskbar, display-mode and desktop-window changes: the exact calls, checked through a
// recording DesktopCalls, and their real effects inside the 1024 x 768 virtual desktop.
#include "desktop_control.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "process_control.h"
#include "scratch_directory.h"
#include "stand_in_report.h"
#include "test_programs.h"

namespace {

HWND const kTaskbar = reinterpret_cast<HWND>(0x1100);
HWND const kOtherTaskbar = reinterpret_cast<HWND>(0x2200);
HWND const kSplash = reinterpret_cast<HWND>(0x3300);
HWND const kDesktop = reinterpret_cast<HWND>(0x5500);
HDC const kDisplayDc = reinterpret_cast<HDC>(0x4400);

// Answers like a display at 1024 x 768 x 32 and 75 Hz whose first listed mode is 640 x 480 x 8
// at 60 Hz, and writes every call down.
class RecordingDesktopCalls : public DesktopCalls {
  public:
    std::vector<std::string> calls;
    HWND taskbar = kTaskbar;
    int refreshRate = 75;
    LONG testResult = DISP_CHANGE_SUCCESSFUL;
    std::vector<DEVMODEA> requests;

    HWND FindTopWindow(const char* className, const char* windowName) override {
        calls.push_back(std::string("find ") + className + " title " +
                        (windowName ? "\"" + std::string(windowName) + "\"" : "null"));
        return taskbar;
    }
    void SetWindowPosition(HWND window, HWND insertAfter, int x, int y, int width, int height,
                           UINT flags) override {
        calls.push_back("position " + Name(window) + " after " + Name(insertAfter) + " " +
                        std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(width) +
                        "," + std::to_string(height) + " flags " + std::to_string(flags));
    }
    HDC GetWindowDc(HWND window) override {
        calls.push_back("dc " + Name(window));
        return kDisplayDc;
    }
    void EnumDisplayMode(const char* device, DWORD modeNumber, DEVMODEA* mode) override {
        calls.push_back(std::string("enum ") + (device ? device : "null") + " mode " +
                        std::to_string(modeNumber) + " size " + std::to_string(mode->dmSize));
        mode->dmPelsWidth = 640;
        mode->dmPelsHeight = 480;
        mode->dmBitsPerPel = 8;
        mode->dmDisplayFrequency = 60;
        mode->dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        mode->dmDisplayFlags = 0x5A;
    }
    int DeviceCaps(HDC dc, int index) override {
        calls.push_back("caps " + std::string(dc == kDisplayDc ? "display" : "other") + " " +
                        std::to_string(index));
        switch (index) {
        case HORZRES:
            return 1024;
        case VERTRES:
            return 768;
        case BITSPIXEL:
            return 32;
        case VREFRESH:
            return refreshRate;
        default:
            return -1;
        }
    }
    LONG ChangeDisplayMode(DEVMODEA* mode, DWORD flags) override {
        calls.push_back(
            "change " + std::to_string(mode->dmPelsWidth) + "x" +
            std::to_string(mode->dmPelsHeight) + "x" + std::to_string(mode->dmBitsPerPel) + "@" +
            std::to_string(mode->dmDisplayFrequency) + " flags " + std::to_string(flags));
        requests.push_back(*mode);
        return flags == CDS_TEST ? testResult : DISP_CHANGE_SUCCESSFUL;
    }
    HWND DesktopWindow() override {
        calls.push_back("desktop");
        return kDesktop;
    }
    void EnableInput(HWND window, BOOL enable) override {
        calls.push_back("enable " + Name(window) + " " + std::to_string(enable));
    }

  private:
    static std::string Name(HWND window) {
        if (window == nullptr) {
            return "null";
        }
        return window == kTaskbar   ? "taskbar"
               : window == kSplash  ? "splash"
               : window == kDesktop ? "desktop"
                                    : "other";
    }
};

TEST(DesktopControlCalls, TaskbarIsHiddenAndTheSameWindowShownAgain) {
    RecordingDesktopCalls calls;
    DesktopControl control(kSplash, calls);
    control.HideTaskbar();
    calls.taskbar = kOtherTaskbar; // another window of the class appears meanwhile
    control.ShowTaskbar();
    EXPECT_EQ(calls.calls, (std::vector<std::string>{
                               "find Shell_traywnd title \"\"",
                               "position taskbar after null 0,0,0,0 flags 128",
                               "position taskbar after null 0,0,0,0 flags 64",
                           }));
}

TEST(DesktopControlCalls, NoTaskbarWindowMeansNothingToHideOrShow) {
    RecordingDesktopCalls calls;
    calls.taskbar = nullptr;
    DesktopControl control(kSplash, calls);
    control.HideTaskbar();
    control.ShowTaskbar();
    EXPECT_EQ(calls.calls, std::vector<std::string>{"find Shell_traywnd title \"\""});
}

TEST(DesktopControlCalls, DesktopWindowIsDisabledAndEnabled) {
    RecordingDesktopCalls calls;
    SetDesktopEnabled(false, calls);
    SetDesktopEnabled(true, calls);
    EXPECT_EQ(calls.calls, (std::vector<std::string>{"desktop", "enable desktop 0", "desktop",
                                                     "enable desktop 1"}));
}

struct ModeCase {
    const char* title;
    int bitsPerPixel;
    LONG testResult;
    std::vector<std::string> switchCalls;
};

TEST(DesktopControlCalls, SwitchAndRestoreAskForTheModesInOrder) {
    const std::vector<std::string> measure = {
        "dc splash",        "enum null mode 0 size " + std::to_string(sizeof(DEVMODEA)),
        "caps display 116", "caps display 8",
        "caps display 10",  "caps display 12",
    };
    const ModeCase cases[] = {
        {"Accepted32",
         32,
         DISP_CHANGE_SUCCESSFUL,
         {"change 800x600x32@75 flags 2", "change 800x600x32@75 flags 0"}},
        {"Accepted16",
         16,
         DISP_CHANGE_SUCCESSFUL,
         {"change 800x600x16@75 flags 2", "change 800x600x16@75 flags 0"}},
        {"Refused", 32, DISP_CHANGE_BADMODE, {"change 800x600x32@75 flags 2"}},
        {"Restart", 16, DISP_CHANGE_RESTART, {"change 800x600x16@75 flags 2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        RecordingDesktopCalls calls;
        calls.testResult = c.testResult;
        DesktopControl control(kSplash, calls);
        control.SwitchDisplayMode(800, 600, c.bitsPerPixel);
        std::vector<std::string> expected = measure;
        expected.insert(expected.end(), c.switchCalls.begin(), c.switchCalls.end());
        EXPECT_EQ(calls.calls, expected);
        EXPECT_EQ(control.savedMode().width, 1024);
        EXPECT_EQ(control.savedMode().height, 768);
        EXPECT_EQ(control.savedMode().bitsPerPixel, 32);

        // The restore reads the rate now in force and asks for the saved mode the same way.
        calls.calls.clear();
        calls.refreshRate = 85;
        calls.testResult = DISP_CHANGE_SUCCESSFUL;
        control.RestoreDisplayMode();
        EXPECT_EQ(calls.calls,
                  (std::vector<std::string>{"caps display 116", "change 1024x768x32@85 flags 2",
                                            "change 1024x768x32@85 flags 0"}));
    }
}

TEST(DesktopControlCalls, OtherMembersStayAsModeZeroLeftThem) {
    RecordingDesktopCalls calls;
    DesktopControl control(kSplash, calls);
    control.SwitchDisplayMode(800, 600, 16);
    control.RestoreDisplayMode();
    ASSERT_EQ(calls.requests.size(), 4u);
    for (const DEVMODEA& request : calls.requests) {
        EXPECT_EQ(request.dmFields, DWORD{DM_PELSWIDTH | DM_PELSHEIGHT});
        EXPECT_EQ(request.dmDisplayFlags, DWORD{0x5A});
        EXPECT_EQ(request.dmSize, sizeof(DEVMODEA));
    }
}

// The real display, inside the virtual desktop the Windows tests run in.
class DesktopControlOnScreen : public testing::Test {
  protected:
    HWND splash = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);

    ~DesktopControlOnScreen() override {
        ChangeDisplaySettingsA(nullptr, 0);
        DestroyWindow(splash);
    }

    struct Screen {
        int width, height, bits;
    };
    static Screen Current() {
        HDC screen = GetDC(nullptr);
        const Screen s{GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES),
                       GetDeviceCaps(screen, BITSPIXEL)};
        ReleaseDC(nullptr, screen);
        return s;
    }
};

TEST_F(DesktopControlOnScreen, SwitchesTo800x600AndRestores) {
    ASSERT_NE(splash, nullptr);
    const Screen before = Current();
    ASSERT_EQ(before.width, 1024);
    ASSERT_EQ(before.height, 768);
    for (const int bits : {32, 16}) {
        SCOPED_TRACE(bits);
        DesktopControl control(splash);
        control.SwitchDisplayMode(800, 600, bits);
        EXPECT_EQ(control.savedMode().width, before.width);
        EXPECT_EQ(control.savedMode().height, before.height);
        EXPECT_EQ(control.savedMode().bitsPerPixel, before.bits);
        const Screen during = Current();
        EXPECT_EQ(during.width, 800);
        EXPECT_EQ(during.height, 600);
        EXPECT_EQ(during.bits, bits);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
        control.RestoreDisplayMode();
        const Screen after = Current();
        EXPECT_EQ(after.width, before.width);
        EXPECT_EQ(after.height, before.height);
        EXPECT_EQ(after.bits, before.bits);
    }
}

TEST_F(DesktopControlOnScreen, RefusedModeChangesNothingAndRestoreStillRuns) {
    const Screen before = Current();
    DesktopControl control(splash);
    control.SwitchDisplayMode(801, 599, 32);
    EXPECT_EQ(control.savedMode().width, before.width);
    EXPECT_EQ(control.savedMode().height, before.height);
    const Screen during = Current();
    EXPECT_EQ(during.width, before.width);
    EXPECT_EQ(during.height, before.height);
    control.RestoreDisplayMode();
    const Screen after = Current();
    EXPECT_EQ(after.width, before.width);
    EXPECT_EQ(after.height, before.height);
    EXPECT_EQ(after.bits, before.bits);
}

HWND RealTaskbar() {
    return FindWindowA("Shell_traywnd", "");
}

// A window of the taskbar's class that belongs to this test.
HWND MakeDecoy(const char* title, bool visible) {
    static const ATOM registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "Shell_traywnd";
        return RegisterClassA(&windowClass);
    }();
    EXPECT_NE(registered, 0);
    return CreateWindowExA(WS_EX_TOOLWINDOW, "Shell_traywnd", title,
                           WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// In a virtual desktop the system's taskbar window exists but starts hidden; it is shown first
// here so that the hide has something to do, and left as it was found.
TEST_F(DesktopControlOnScreen, TaskbarIsHiddenThenShownAgain) {
    HWND taskbar = RealTaskbar();
    ASSERT_NE(taskbar, nullptr) << "no taskbar window in this desktop";
    const bool wasVisible = IsWindowVisible(taskbar);
    SetWindowPos(taskbar, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(IsWindowVisible(taskbar));
    // A window of the class with a title is passed over by the search.
    HWND titled = MakeDecoy("titled", true);
    DesktopControl control(splash);
    control.HideTaskbar();
    EXPECT_FALSE(IsWindowVisible(taskbar));
    EXPECT_TRUE(IsWindowVisible(titled));

    // Another untitled window of the class appearing now is left alone by the show.
    HWND untitled = MakeDecoy("", false);
    control.ShowTaskbar();
    EXPECT_TRUE(IsWindowVisible(taskbar));
    EXPECT_FALSE(IsWindowVisible(untitled));
    DestroyWindow(untitled);
    DestroyWindow(titled);
    if (!wasVisible) {
        SetWindowPos(taskbar, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    }
}

// Runs the stand-in game as "javaw" in a scratch directory and returns its one report.
class ChildOnScreen : public DesktopControlOnScreen {
  protected:
    ScratchDirectory scratch;
    const std::filesystem::path report = scratch.path() / "report.txt";
    EnvironmentOverride reportVariable{"STAND_IN_REPORT", report.string().c_str()};
    EnvironmentOverride exitCodes{"STAND_IN_EXIT_CODES", "0xFFFFFFFE"};

    StandInRun RunChild() {
        EXPECT_TRUE(
            CopyFileA(ProgramBesideTest("stand_in_game.exe").string().c_str(), "javaw.exe", FALSE));
        EXPECT_EQ(StartChildAndWait("javaw", "javaw", "main", "world"), -2);
        const auto runs = ReadStandInReport(report);
        EXPECT_EQ(runs.size(), 1u);
        return runs.empty() ? StandInRun{} : runs[0];
    }
};

// The game starts into the desktop as the launcher leaves it: screen switched, taskbar hidden,
// desktop window enabled again; everything is put back afterwards.
TEST_F(ChildOnScreen, ChildSeesTheDesktopAsPrepared) {
    HWND taskbar = RealTaskbar();
    ASSERT_NE(taskbar, nullptr);
    const bool wasVisible = IsWindowVisible(taskbar);
    SetWindowPos(taskbar, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);

    DesktopControl control(splash);
    SetDesktopEnabled(false);
    control.HideTaskbar();
    control.SwitchDisplayMode(800, 600, 32);
    SetDesktopEnabled(true);
    const StandInRun run = RunChild();
    control.ShowTaskbar();
    // Checked before the restore: a tray with no icons in a virtual desktop hides itself again
    // when the display mode changes.
    EXPECT_TRUE(IsWindowVisible(taskbar));
    control.RestoreDisplayMode();

    EXPECT_EQ(run.at("screen_width"), "800");
    EXPECT_EQ(run.at("screen_height"), "600");
    EXPECT_EQ(run.at("taskbar"), "hidden");
    EXPECT_EQ(run.at("desktop_enabled"), "1");
    EXPECT_EQ(Current().width, 1024);
    if (!wasVisible) {
        SetWindowPos(taskbar, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    }
}

// What this thread drew just before the game started is on the screen while the game runs,
// although no message is handled meanwhile.
TEST_F(ChildOnScreen, DrawingBeforeTheWaitReachesTheScreen) {
    HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(cover, nullptr);
    for (const COLORREF colour : {RGB(0xFF, 0, 0), RGB(0, 0x80, 0xFF)}) {
        HDC dc = GetDC(cover);
        RECT all;
        GetClientRect(cover, &all);
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(cover, dc);
        char expected[16];
        std::snprintf(expected, sizeof(expected), "0x%02X%02X%02X", GetRValue(colour),
                      GetGValue(colour), GetBValue(colour));
        std::filesystem::remove(report);
        std::filesystem::remove("javaw.exe");
        EXPECT_EQ(RunChild()["centre_pixel"], expected);
    }
    DestroyWindow(cover);
}

} // namespace
