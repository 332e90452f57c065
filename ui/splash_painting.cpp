#include "splash_painting.h"

int g_launchStarted = 0;
const COLORREF g_backgroundColour = RGB(0x00, 0x00, 0x00);
const COLORREF g_textColour = RGB(0x88, 0x88, 0x88);
const int g_textOffsetX = 150;
const int g_textOffsetY = 50;

static_assert(kStatusTextLength == 15, "the status text is drawn with its 15 characters");
// GetObjectA fills the whole record; on 32-bit Windows it is 24 bytes.
static_assert(sizeof(void*) != 4 || sizeof(BITMAP) == 24, "BITMAP record size");

POINT SplashTextOrigin(int screenWidth, int screenHeight) {
    return POINT{screenWidth - g_textOffsetX, screenHeight - g_textOffsetY};
}

POINT SplashBitmapOrigin(int screenWidth, int screenHeight, int bitmapWidth, int bitmapHeight) {
    return POINT{screenWidth / 2 - bitmapWidth / 2, screenHeight / 2 - bitmapHeight / 2};
}

void DrawStatusText(CDC& dc, int screenWidth, int screenHeight) {
    POINT origin = SplashTextOrigin(screenWidth, screenHeight);
    dc.TextOut(origin.x, origin.y, kStatusText, kStatusTextLength);
}

void DrawSplashBitmap(CDC& dc, HBITMAP bitmap, int screenWidth, int screenHeight) {
    if (bitmap == nullptr) {
        return; // "quorvanta.bmp" did not load: there is nothing to size the copy by
    }
    CMemoryDC memory(dc);
    if (!memory.Select(bitmap)) {
        return;
    }
    BITMAP record{};
    if (GetObjectA(bitmap, sizeof record, &record) != sizeof record) {
        return;
    }
    POINT origin = SplashBitmapOrigin(screenWidth, screenHeight, record.bmWidth, record.bmHeight);
    dc.BitBlt(origin.x, origin.y, record.bmWidth, record.bmHeight, memory, 0, 0, SRCCOPY);
}

void PaintSplashFrame(CDC& windowDc, CDC& paintDc, const RECT& screen, CBrush& background,
                      HBITMAP bitmap, LaunchStarter start, void* context) {
    paintDc.FillRect(&screen, &background);
    // The text stands on a box of the background colour; mode, alignment and font stay as the
    // context comes.
    paintDc.SetBkColor(g_backgroundColour);
    paintDc.SetTextColor(g_textColour);
    if (g_launchStarted == 0) {
        // Set before the launch starts, so that the launch's own repaints draw the splash
        // instead of starting it again.
        g_launchStarted = 1;
        start(context);
        return;
    }
    const int width = screen.right - screen.left;
    const int height = screen.bottom - screen.top;
    DrawStatusText(paintDc, width, height);
    DrawSplashBitmap(windowDc, bitmap, width, height);
}
