#include "splash_dlg.h"

#include "desktop_control.h"
#include "framework/application.h"
#include "framework/drawing.h"
#include "install_settings.h"
#include "launch_sequence.h"
#include "splash_launch_operations.h"
#include "splash_painting.h"

namespace {

constexpr char kSplashBitmapFile[] = "quorvanta.bmp";

// Runs the whole launch from the first paint. The operations are never freed: the sequence
// ends the process without returning, and nothing of them may be torn down before that.
void StartLaunch(void* dialog) {
    auto* operations = new SplashLaunchOperations(*static_cast<CSplashDlg*>(dialog));
    RunLaunchSequence(*operations);
}

const MessageMapEntry kSplashMessages[] = {
    {WM_PAINT,
     [](CWnd& window, WPARAM, LPARAM) -> LRESULT {
         static_cast<CSplashDlg&>(window).OnPaint();
         return 0;
     }},
    {WM_QUERYDRAGICON,
     [](CWnd& window, WPARAM, LPARAM) -> LRESULT {
         return reinterpret_cast<LRESULT>(static_cast<CSplashDlg&>(window).OnQueryDragIcon());
     }},
};

} // namespace

const MessageMap CSplashDlg::messageMap = MakeMessageMap(&CDialog::messageMap, kSplashMessages);

const MessageMap* CSplashDlg::GetMessageMap() const {
    return &messageMap;
}

CSplashDlg::CSplashDlg(CWnd* parent) : CDialog(IDD_SPLASH, parent) {
    m_hIcon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_LAUNCHER));
    m_hSplashBitmap = static_cast<HBITMAP>(LoadImageA(AfxGetApp()->m_hInstance, kSplashBitmapFile,
                                                      IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

void CSplashDlg::DoDataExchange(CDataExchange* exchange) {
    CDialog::DoDataExchange(exchange);
}

BOOL CSplashDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    // The splash takes no input, and the user can reach nothing else while it is set up.
    EnableWindow(FALSE);
    SetCapture();
    SetDesktopEnabled(false);
    ReadInstallSettings();
    return TRUE;
}

HCURSOR CSplashDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

void CSplashDlg::OnPaint() {
    // The window's own context measures the screen in the mode in force now and receives the
    // bitmap over the whole visible window.
    CClientDC windowDc(this);
    const int width = windowDc.GetDeviceCaps(HORZRES);
    const int height = windowDc.GetDeviceCaps(VERTRES);
    const RECT screen{0, 0, width, height};
    CBrush background(g_backgroundColour);
    // The paint context reaches only what was invalid when it was opened.
    CPaintDC paintDc(this);
    if (paintDc.m_hDC == nullptr || background.m_hObject == nullptr) {
        return; // The window stays invalid, so the next WM_PAINT tries again.
    }
    PaintSplashFrame(windowDc, paintDc, screen, background, m_hSplashBitmap, StartLaunch, this);
}
