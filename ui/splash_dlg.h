// The splash dialog: a black popup larger than the screen that shuts the user out while the
// launcher runs, and whose first paint starts the launch.
#pragma once

#include <windows.h>

#include "framework/dialog.h"
#include "resource.h"

class CSplashDlg : public CDialog {
  public:
    enum { IDD = IDD_SPLASH };

    // Loads the icon and the splash bitmap; no window exists yet.
    explicit CSplashDlg(CWnd* parent = nullptr);

    const MessageMap* GetMessageMap() const override;

    // WM_PAINT; also called directly by the launch to repaint the splash.
    void OnPaint();
    // WM_QUERYDRAGICON: the cursor shown while the minimised window is dragged.
    HCURSOR OnQueryDragIcon();

  protected:
    void DoDataExchange(CDataExchange* exchange) override;

  public:
    // Disables the dialog, captures the mouse, disables the desktop window and reads the launch
    // settings, all before the window is first shown.
    BOOL OnInitDialog() override;

  protected:
    static const MessageMap messageMap;

    // Null when "quorvanta.bmp" could not be loaded. Both handles live as long as the process.
    HBITMAP m_hSplashBitmap;
    HICON m_hIcon;
};
