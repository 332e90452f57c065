// The splash drawn into memory contexts: one stands for the window's own context, one for the
// paint context, each a 32-bit top-down pixel buffer that starts white, so that every pixel the
// painting touches can be seen.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "pattern_bitmap.h"
#include "scratch_directory.h"
#include "splash_painting.h"

namespace {

constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(0x88, 0x88, 0x88);

std::uint32_t PixelOf(COLORREF colour) {
    return (std::uint32_t{GetRValue(colour)} << 16) | (std::uint32_t{GetGValue(colour)} << 8) |
           GetBValue(colour);
}

// Black, the text's grey, or a shade between them.
bool AtMostGrey(std::uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) <= 0x88 && ((pixel >> 8) & 0xFF) <= 0x88 &&
           (pixel & 0xFF) <= 0x88;
}

// A 32-bit top-down DIB section of the given size.
HBITMAP MakeDib(int width, int height, std::uint32_t** pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    *pixels = static_cast<std::uint32_t*>(bits);
    return bitmap;
}

// A drawing surface of a given size, white at the start.
class Canvas {
  public:
    Canvas(int width, int height) : width_(width), height_(height) {
        bitmap_ = MakeDib(width, height, &pixels_);
        dc_.m_hDC = CreateCompatibleDC(nullptr);
        previous_ = SelectObject(dc_.m_hDC, bitmap_);
        for (int i = 0; i < width * height; ++i) {
            pixels_[i] = PixelOf(kWhite);
        }
    }
    ~Canvas() {
        SelectObject(dc_.m_hDC, previous_);
        DeleteDC(dc_.m_hDC);
        DeleteObject(bitmap_);
    }

    CDC& dc() { return dc_; }
    std::uint32_t At(int x, int y) {
        GdiFlush();
        return pixels_[y * width_ + x] & 0xFFFFFF;
    }
    // The number of pixels for which wrong(x, y, pixel) holds.
    int CountWhere(const std::function<bool(int, int, std::uint32_t)>& wrong) {
        int count = 0;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                count += wrong(x, y, At(x, y)) ? 1 : 0;
            }
        }
        return count;
    }
    // The smallest rectangle holding every pixel for which match holds; empty when none does.
    RECT BoundsWhere(const std::function<bool(std::uint32_t)>& match) {
        RECT bounds{width_, height_, 0, 0};
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (match(At(x, y))) {
                    bounds.left = std::min<LONG>(bounds.left, x);
                    bounds.top = std::min<LONG>(bounds.top, y);
                    bounds.right = std::max<LONG>(bounds.right, x + 1);
                    bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
                }
            }
        }
        return bounds;
    }

  private:
    int width_;
    int height_;
    std::uint32_t* pixels_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    CDC dc_;
};

// A splash bitmap loaded from a file the way the dialog loads "quorvanta.bmp".
HBITMAP LoadPatternBitmap(int width, int height) {
    ScratchDirectory scratch;
    WritePatternBmp("splash.bmp", width, height);
    return static_cast<HBITMAP>(
        LoadImageA(nullptr, "splash.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

class SplashPainting : public ::testing::Test {
  protected:
    void SetUp() override { g_launchStarted = 1; }
    void TearDown() override { g_launchStarted = 1; }

    // One paint as the dialog makes it, on a screen of width x height.
    void Paint(Canvas& window, Canvas& paint, int width, int height, HBITMAP bitmap) {
        const RECT screen{0, 0, width, height};
        CBrush background(g_backgroundColour);
        PaintSplashFrame(window.dc(), paint.dc(), screen, background, bitmap, RecordStart, this);
    }

    static void RecordStart(void* context) {
        auto* self = static_cast<SplashPainting*>(context);
        ++self->starts;
        self->flagAtStart = g_launchStarted;
    }

    int starts = 0;
    int flagAtStart = -1;
};

TEST_F(SplashPainting, FirstPaintFillsBlackAndStartsTheLaunchOnce) {
    HBITMAP bitmap = LoadPatternBitmap(401, 201);
    ASSERT_NE(bitmap, nullptr);
    Canvas window(800, 600), paint(800, 600);
    g_launchStarted = 0;

    Paint(window, paint, 800, 600, bitmap);

    EXPECT_EQ(starts, 1);
    EXPECT_EQ(flagAtStart, 1) << "the launch must see the splash as started";
    EXPECT_EQ(paint.CountWhere([](int, int, std::uint32_t p) { return p != PixelOf(kBlack); }), 0)
        << "the first paint draws only black: no text";
    EXPECT_EQ(window.CountWhere([](int, int, std::uint32_t p) { return p != PixelOf(kWhite); }), 0)
        << "the first paint draws no bitmap";

    // The launch's own repaints draw the splash and do not start it again.
    Paint(window, paint, 800, 600, bitmap);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(window.At(400, 300), PatternPixel(200, 100));
    EXPECT_NE(paint.BoundsWhere([](std::uint32_t p) { return p == PixelOf(kGrey); }).right, 0);
    DeleteObject(bitmap);
}

TEST_F(SplashPainting, LaterPaintDrawsGreyTextOnBlackNearTheBottomRight) {
    Canvas window(800, 600), paint(800, 600);
    Paint(window, paint, 800, 600, nullptr);

    // Nothing brighter than the text's grey (glyph edges may be smoothed towards the black
    // behind them): the text's box is black, not a fresh context's white.
    EXPECT_EQ(paint.CountWhere([](int, int, std::uint32_t p) { return !AtMostGrey(p); }), 0);
    EXPECT_GT(paint.CountWhere([](int, int, std::uint32_t p) { return p == PixelOf(kGrey); }), 0);
    RECT text = paint.BoundsWhere([](std::uint32_t p) { return p != PixelOf(kBlack); });
    ASSERT_LT(text.left, text.right) << "no text was drawn";
    // The glyphs lie inside the text cell, which starts at (650, 550).
    EXPECT_GE(text.left, 650);
    EXPECT_LE(text.left, 653);
    EXPECT_GE(text.top, 550);
    EXPECT_LE(text.top, 560);
    EXPECT_LE(text.right, 800);
    EXPECT_LE(text.bottom, 600);
}

TEST_F(SplashPainting, TextCellStartsAtTheOffsetsFromTheBottomRight) {
    struct Case {
        int width, height;
        POINT origin;
    };
    for (const Case& c : {Case{800, 600, {650, 550}}, Case{1024, 768, {874, 718}}}) {
        Canvas paint(c.width, c.height);
        // A box colour of its own, so that the whole cell shows on the white canvas.
        SetBkColor(paint.dc().m_hDC, RGB(0x10, 0x20, 0x30));
        DrawStatusText(paint.dc(), c.width, c.height);

        SIZE extent{};
        GetTextExtentPoint32A(paint.dc().m_hDC, "Initializing...", 15, &extent);
        RECT cell = paint.BoundsWhere([](std::uint32_t p) { return p != PixelOf(kWhite); });
        EXPECT_EQ(cell.left, c.origin.x) << c.width << "x" << c.height;
        EXPECT_EQ(cell.top, c.origin.y) << c.width << "x" << c.height;
        EXPECT_EQ(cell.right, std::min<LONG>(c.origin.x + extent.cx, c.width));
        EXPECT_EQ(cell.bottom, std::min<LONG>(c.origin.y + extent.cy, c.height));
    }
}

TEST_F(SplashPainting, BitmapIsCentredWithHalvesRoundedDownAndCutAtTheEdges) {
    struct Case {
        int screenWidth, screenHeight, bitmapWidth, bitmapHeight;
        POINT origin;
    };
    const Case cases[] = {
        {800, 600, 401, 201, {200, 200}}, // 400 - 200 and 300 - 100, not 199.5 and 199.5
        {800, 600, 1, 1, {400, 300}},
        {800, 600, 1000, 700, {-100, -50}}, // larger than the screen: centred and cut off
        {1024, 768, 800, 600, {112, 84}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.bitmapWidth) + "x" + std::to_string(c.bitmapHeight) + " on " +
                     std::to_string(c.screenWidth) + "x" + std::to_string(c.screenHeight));
        HBITMAP bitmap = LoadPatternBitmap(c.bitmapWidth, c.bitmapHeight);
        ASSERT_NE(bitmap, nullptr);
        Canvas window(c.screenWidth, c.screenHeight);

        DrawSplashBitmap(window.dc(), bitmap, c.screenWidth, c.screenHeight);

        int wrong = window.CountWhere([&](int x, int y, std::uint32_t pixel) {
            const int bx = x - c.origin.x;
            const int by = y - c.origin.y;
            const bool inside = bx >= 0 && by >= 0 && bx < c.bitmapWidth && by < c.bitmapHeight;
            return pixel != (inside ? PatternPixel(bx, by) : PixelOf(kWhite));
        });
        EXPECT_EQ(wrong, 0);
        DeleteObject(bitmap);
    }
}

TEST_F(SplashPainting, WithoutABitmapTheFillAndTextAreStillDrawn) {
    Canvas window(800, 600), paint(800, 600);
    Paint(window, paint, 800, 600, nullptr);

    EXPECT_EQ(paint.At(0, 0), PixelOf(kBlack));
    EXPECT_EQ(paint.At(400, 300), PixelOf(kBlack));
    EXPECT_LT(paint.BoundsWhere([](std::uint32_t p) { return p == PixelOf(kGrey); }).left, 800);
    EXPECT_EQ(window.CountWhere([](int, int, std::uint32_t p) { return p != PixelOf(kWhite); }), 0);
}

TEST_F(SplashPainting, TheBitmapStaysUsableForEveryPaint) {
    HBITMAP bitmap = LoadPatternBitmap(401, 201);
    ASSERT_NE(bitmap, nullptr);
    for (int paintNumber = 0; paintNumber < 3; ++paintNumber) {
        Canvas window(800, 600), paint(800, 600);
        Paint(window, paint, 800, 600, bitmap);
        EXPECT_EQ(window.At(200, 200), PatternPixel(0, 0)) << "paint " << paintNumber;
    }
    BITMAP record{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof record, &record), static_cast<int>(sizeof record));
    DeleteObject(bitmap);
}

} // namespace
