// Taking over the desktop for the run: the taskbar hidden, the screen switched to the run's
// mode, and both put back afterwards; and the desktop window's input switched off and on.
#pragma once

#include <windows.h>

// The screen as it was before the switch.
struct SavedDisplayMode {
    int width;
    int height;
    int bitsPerPixel;
};

// The user32 and gdi32 calls behind DesktopControl, so that their arguments can be checked.
class DesktopCalls {
  public:
    virtual ~DesktopCalls() = default;
    virtual HWND FindTopWindow(const char* className, const char* windowName) = 0;
    virtual void SetWindowPosition(HWND window, HWND insertAfter, int x, int y, int width,
                                   int height, UINT flags) = 0;
    virtual HDC GetWindowDc(HWND window) = 0;
    virtual void EnumDisplayMode(const char* device, DWORD modeNumber, DEVMODEA* mode) = 0;
    virtual int DeviceCaps(HDC dc, int index) = 0;
    virtual LONG ChangeDisplayMode(DEVMODEA* mode, DWORD flags) = 0;
    virtual HWND DesktopWindow() = 0;
    virtual void EnableInput(HWND window, BOOL enable) = 0;
};

// The real calls.
DesktopCalls& Win32DesktopCalls();

class DesktopControl {
  public:
    explicit DesktopControl(HWND splashWindow);
    DesktopControl(HWND splashWindow, DesktopCalls& calls);

    // Finds the taskbar window and hides it; with no taskbar window there is nothing to hide.
    void HideTaskbar();
    // Shows the window that HideTaskbar found, without a new search.
    void ShowTaskbar();
    // Remembers the current screen in savedMode() and switches to the mode asked for when the
    // display accepts it.
    void SwitchDisplayMode(int width, int height, int bitsPerPixel);
    // Asks for the mode in savedMode(), again only when the display accepts it.
    void RestoreDisplayMode();

    const SavedDisplayMode& savedMode() const { return savedMode_; }

  private:
    // Tests the mode in modeRequest_ and makes the change only when the test succeeds.
    void RequestMode();

    DesktopCalls& calls_;
    HWND splashWindow_;
    HWND taskbarWindow_ = nullptr;
    // Taken at the switch and kept until the process ends.
    HDC displayDc_ = nullptr;
    DEVMODEA modeRequest_{};
    SavedDisplayMode savedMode_{};
};

// Switches input to the desktop window off or on.
void SetDesktopEnabled(bool enabled);
void SetDesktopEnabled(bool enabled, DesktopCalls& calls);
