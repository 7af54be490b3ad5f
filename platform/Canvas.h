#pragma once
// The drawing surface that owner-drawn cells paint on: text placed by its
// top-left corner, a pen position with lines from it, rectangles, and the
// font's measures, all in pixels.

#include <string>

// A rectangle whose right and bottom lie just outside it.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // The text with its top-left corner at (x, y).
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;
    virtual void MoveTo(int x, int y) = 0;
    // A line from the pen position to (x, y), leaving out the end pixel; the
    // pen then stands at (x, y).
    virtual void LineTo(int x, int y) = 0;
    // The font's pixels per inch: the device's.
    virtual int PixelsPerInch() const = 0;
    // An outline through the left-top corner and just inside right-bottom,
    // filled with the background.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    // The font's character height in pixels.
    virtual int FontHeight() const = 0;
    virtual void SetFontHeight(int pixels) = 0;
};
