#include "desktop_control.h"

namespace {

// Class and title of the taskbar window: the title must be empty, so only a window without a
// title matches.
constexpr char kTaskbarClass[] = "Shell_traywnd";
constexpr char kTaskbarTitle[] = "";

class RealDesktopCalls : public DesktopCalls {
  public:
    HWND FindTopWindow(const char* className, const char* windowName) override {
        return FindWindowA(className, windowName);
    }
    void SetWindowPosition(HWND window, HWND insertAfter, int x, int y, int width, int height,
                           UINT flags) override {
        SetWindowPos(window, insertAfter, x, y, width, height, flags);
    }
    HDC GetWindowDc(HWND window) override { return GetDC(window); }
    void EnumDisplayMode(const char* device, DWORD modeNumber, DEVMODEA* mode) override {
        EnumDisplaySettingsA(device, modeNumber, mode);
    }
    int DeviceCaps(HDC dc, int index) override { return GetDeviceCaps(dc, index); }
    LONG ChangeDisplayMode(DEVMODEA* mode, DWORD flags) override {
        return ChangeDisplaySettingsA(mode, flags);
    }
    HWND DesktopWindow() override { return GetDesktopWindow(); }
    void EnableInput(HWND window, BOOL enable) override { EnableWindow(window, enable); }
};

} // namespace

DesktopCalls& Win32DesktopCalls() {
    static RealDesktopCalls calls;
    return calls;
}

DesktopControl::DesktopControl(HWND splashWindow)
    : DesktopControl(splashWindow, Win32DesktopCalls()) {}

DesktopControl::DesktopControl(HWND splashWindow, DesktopCalls& calls)
    : calls_(calls), splashWindow_(splashWindow) {}

void DesktopControl::HideTaskbar() {
    taskbarWindow_ = calls_.FindTopWindow(kTaskbarClass, kTaskbarTitle);
    if (taskbarWindow_ != nullptr) {
        calls_.SetWindowPosition(taskbarWindow_, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW);
    }
}

void DesktopControl::ShowTaskbar() {
    if (taskbarWindow_ != nullptr) {
        calls_.SetWindowPosition(taskbarWindow_, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW);
    }
}

void DesktopControl::SwitchDisplayMode(int width, int height, int bitsPerPixel) {
    displayDc_ = calls_.GetWindowDc(splashWindow_);
    // The list's first mode, not the current settings, is the record the request starts from;
    // the enumeration needs only its size members set beforehand.
    ZeroMemory(&modeRequest_, sizeof(modeRequest_));
    modeRequest_.dmSize = sizeof(modeRequest_);
    calls_.EnumDisplayMode(nullptr, 0, &modeRequest_);
    modeRequest_.dmPelsWidth = static_cast<DWORD>(width);
    modeRequest_.dmPelsHeight = static_cast<DWORD>(height);
    modeRequest_.dmBitsPerPel = static_cast<DWORD>(bitsPerPixel);
    modeRequest_.dmDisplayFrequency = static_cast<DWORD>(calls_.DeviceCaps(displayDc_, VREFRESH));
    savedMode_.width = calls_.DeviceCaps(displayDc_, HORZRES);
    savedMode_.height = calls_.DeviceCaps(displayDc_, VERTRES);
    savedMode_.bitsPerPixel = calls_.DeviceCaps(displayDc_, BITSPIXEL);
    RequestMode();
}

void DesktopControl::RestoreDisplayMode() {
    modeRequest_.dmPelsWidth = static_cast<DWORD>(savedMode_.width);
    modeRequest_.dmPelsHeight = static_cast<DWORD>(savedMode_.height);
    modeRequest_.dmBitsPerPel = static_cast<DWORD>(savedMode_.bitsPerPixel);
    // The rate of the mode in force now, normally the run's own mode.
    modeRequest_.dmDisplayFrequency = static_cast<DWORD>(calls_.DeviceCaps(displayDc_, VREFRESH));
    RequestMode();
}

void DesktopControl::RequestMode() {
    if (calls_.ChangeDisplayMode(&modeRequest_, CDS_TEST) == DISP_CHANGE_SUCCESSFUL) {
        // Flags 0: a change for this session only, not stored in the registry.
        calls_.ChangeDisplayMode(&modeRequest_, 0);
    }
}

void SetDesktopEnabled(bool enabled) {
    SetDesktopEnabled(enabled, Win32DesktopCalls());
}

void SetDesktopEnabled(bool enabled, DesktopCalls& calls) {
    calls.EnableInput(calls.DesktopWindow(), enabled ? TRUE : FALSE);
}
