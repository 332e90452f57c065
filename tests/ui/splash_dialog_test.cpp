// The splash dialog up to its first paint, on a real window in a scratch installation
// directory. The first paint is taken over here, so the launch itself does not start: the test
// sees the state the launch would start from.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/drawing.h"
#include "install_settings.h"
#include "pattern_bitmap.h"
#include "scratch_directory.h"
#include "splash_dlg.h"

namespace {

CWinApp g_testApplication;

// Ends a dialog that never gets its first paint, so that the test fails instead of hanging.
constexpr UINT_PTR kGiveUpTimer = 1;
constexpr UINT kGiveUpMilliseconds = 20000;

// What the splash dialog looked like when it was first painted.
struct FirstPaint {
    bool visible = false;
    bool enabled = true;
    bool hasCapture = false;
    RECT window{};
    POINT clientOrigin{};
    LRESULT bigIcon = -1;
    LRESULT smallIcon = -1;
    std::string childArg0;
};

class ObservedSplash : public CSplashDlg {
  public:
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    void OnFirstPaint() {
        CPaintDC paint(this);
        seen.visible = IsWindowVisible(m_hWnd) != FALSE;
        seen.enabled = IsWindowEnabled(m_hWnd) != FALSE;
        seen.hasCapture = GetCapture() == m_hWnd;
        GetWindowRect(m_hWnd, &seen.window);
        ClientToScreen(m_hWnd, &seen.clientOrigin);
        seen.bigIcon = SendMessage(WM_GETICON, ICON_BIG);
        seen.smallIcon = SendMessage(WM_GETICON, ICON_SMALL);
        seen.childArg0 = g_installSettings.childArg0;
        EndDialog(IDOK);
    }

    HBITMAP Bitmap() const { return m_hSplashBitmap; }
    HICON Icon() const { return m_hIcon; }

    FirstPaint seen;

  protected:
    static const MessageMap messageMap;
};

const MessageMapEntry kObservedMessages[] = {
    {WM_PAINT,
     [](CWnd& window, WPARAM, LPARAM) -> LRESULT {
         static_cast<ObservedSplash&>(window).OnFirstPaint();
         return 0;
     }},
    {WM_TIMER,
     [](CWnd& window, WPARAM, LPARAM) -> LRESULT {
         static_cast<ObservedSplash&>(window).EndDialog(IDABORT);
         return 0;
     }},
};
const MessageMap ObservedSplash::messageMap =
    MakeMessageMap(&CSplashDlg::messageMap, kObservedMessages);

class SplashDialog : public ::testing::Test {
  protected:
    void SetUp() override { g_installSettings = InstallSettings{}; }
    void TearDown() override {
        // The dialog leaves the desktop disabled and the mouse captured until the launch.
        EnableWindow(GetDesktopWindow(), TRUE);
        ReleaseCapture();
    }
    ScratchDirectory scratch;
};

TEST_F(SplashDialog, ShutsTheUserOutAndReadsTheSettingsBeforeItIsShown) {
    WriteFileBytes("install.txt", "p\\\r\nw2\r\nw1\r\n32\r\nopengl\r\nw0\r\n");
    WritePatternBmp("quorvanta.bmp", 401, 201);

    ObservedSplash dialog;
    EXPECT_EQ(dialog.Icon(), nullptr) << "the launcher carries no icon";
    ASSERT_NE(dialog.Bitmap(), nullptr);
    BITMAP record{};
    GetObjectA(dialog.Bitmap(), sizeof record, &record);
    EXPECT_EQ(record.bmWidth, 401);
    EXPECT_EQ(record.bmHeight, 201);

    EXPECT_EQ(dialog.DoModal(), IDOK);
    const FirstPaint& seen = dialog.seen;
    EXPECT_TRUE(seen.visible);
    EXPECT_FALSE(seen.enabled);
    EXPECT_TRUE(seen.hasCapture);
    EXPECT_EQ(seen.childArg0, "w0");
    EXPECT_EQ(ReadFileBytes("install.txt"),
              std::string("p\\\r\nw2\r\nw1\r\n32\r\ngraphicsChanged\r\nw0\r\n"));
    EXPECT_EQ(seen.bigIcon, 0);
    EXPECT_EQ(seen.smallIcon, 0);
    EXPECT_EQ(dialog.OnQueryDragIcon(), nullptr);

    // A popup at the screen's top-left corner, larger than the screen; the client area starts
    // just inside the one-pixel border.
    EXPECT_EQ(seen.window.left, 0);
    EXPECT_EQ(seen.window.top, 0);
    EXPECT_GE(seen.window.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GE(seen.window.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(seen.window.right, 2000);
    EXPECT_GT(seen.window.bottom, 2000);
    EXPECT_EQ(seen.clientOrigin.x, 1);
    EXPECT_EQ(seen.clientOrigin.y, 1);
}

TEST_F(SplashDialog, OpensWithoutABitmapOrSettings) {
    ObservedSplash dialog;
    EXPECT_EQ(dialog.Bitmap(), nullptr);

    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.seen.visible);
    EXPECT_FALSE(dialog.seen.enabled);
    EXPECT_EQ(dialog.seen.childArg0, "");
}

TEST_F(SplashDialog, AFileThatIsNoBitmapLoadsNothing) {
    WriteFileBytes("quorvanta.bmp", "not a bitmap");
    ObservedSplash dialog;
    EXPECT_EQ(dialog.Bitmap(), nullptr);
}

} // namespace
