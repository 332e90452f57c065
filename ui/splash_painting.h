// What the splash shows: the screen filled black, the grey status text near the bottom-right
// corner and the splash bitmap in the middle. Kept apart from the dialog so that it can be drawn
// into any pair of device contexts.
#pragma once

#include <windows.h>

#include "framework/drawing.h"

// 0 until the splash's first paint, 1 from then on; never reset.
extern int g_launchStarted;
extern const COLORREF g_backgroundColour;
extern const COLORREF g_textColour;
// The status text's top-left corner lies this far left of the screen's right edge and above its
// bottom edge.
extern const int g_textOffsetX;
extern const int g_textOffsetY;

constexpr char kStatusText[] = "Initializing...";
constexpr int kStatusTextLength = sizeof kStatusText - 1;

POINT SplashTextOrigin(int screenWidth, int screenHeight);
// Centres the bitmap; each half is rounded down before the subtraction, so a 401 x 201 bitmap
// on 800 x 600 goes to (200, 200).
POINT SplashBitmapOrigin(int screenWidth, int screenHeight, int bitmapWidth, int bitmapHeight);

// Draws the status text on a background of g_backgroundColour.
void DrawStatusText(CDC& dc, int screenWidth, int screenHeight);
// Copies bitmap, centred, onto dc. A null bitmap, or one that cannot be selected or measured,
// leaves dc as it is.
void DrawSplashBitmap(CDC& dc, HBITMAP bitmap, int screenWidth, int screenHeight);

// Starts the launch; called once, from the first paint. It may never return.
using LaunchStarter = void (*)(void* context);

// One paint of the splash on a screen of screen's size. paintDc gets the fill and the text,
// windowDc the bitmap. The first paint fills the screen only, marks the launch started and
// calls start(context) in place of the text and the bitmap; every later paint draws all three.
void PaintSplashFrame(CDC& windowDc, CDC& paintDc, const RECT& screen, CBrush& background,
                      HBITMAP bitmap, LaunchStarter start, void* context);
