#pragma once
// A printer for tests: fixed metrics (every character is equally wide, every
// text equally high) and a record of each text and line drawn, by page, so
// that the arithmetic of a printed layout can be checked to the pixel.

#include "platform/Printer.h"

#include <string>
#include <vector>

struct PrinterGeometry {
    int pageWidth = 800; // printable area, device pixels
    int pageHeight = 1000;
    int pixelsPerInchX = 100;
    int pixelsPerInchY = 100;
    int offsetX = 25;
    int offsetY = 25;
    int charWidth = 10; // per character (code point)
    int textHeight = 20;
};

// One text (at its top-left corner) or one line (from x, y to x2, y2).
struct RecordedMark {
    int page = 1;
    bool line = false;
    int x = 0;
    int y = 0;
    int x2 = 0;
    int y2 = 0;
    std::string text;
};

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(const PrinterGeometry& geometry) : geometry_(geometry) {}

    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    int PixelsPerInch() const override { return geometry_.pixelsPerInchY; }
    // Recorded as its four sides.
    void Rectangle(int left, int top, int right, int bottom) override;
    int FontHeight() const override { return geometry_.textHeight; }
    void SetFontHeight(int pixels) override { geometry_.textHeight = pixels; }

    const std::vector<RecordedMark>& Marks() const { return marks_; }
    int page = 1;

private:
    PrinterGeometry geometry_;
    std::vector<RecordedMark> marks_;
    int x_ = 0;
    int y_ = 0;
};

class RecordingPrinter : public Printer {
public:
    explicit RecordingPrinter(const PrinterGeometry& geometry = {})
        : geometry_(geometry), canvas_(geometry_) {}

    const std::vector<RecordedMark>& Marks() const { return canvas_.Marks(); }
    // The texts drawn, in order; the lines drawn, in order.
    std::vector<RecordedMark> Texts() const;
    std::vector<RecordedMark> Lines() const;
    int Pages() const { return canvas_.page; }
    int FontSize() const { return fontSize_; }
    bool Begun() const { return begun_; }
    bool Ended() const { return ended_; }

    Canvas& GetCanvas() override { return canvas_; }
    PrinterOrientation Orientation() const override { return orientation_; }
    void SetOrientation(PrinterOrientation orientation) override { orientation_ = orientation; }
    void SetFontSize(int points) override { fontSize_ = points; }
    bool BeginDoc() override {
        begun_ = true;
        return true;
    }
    void NewPage() override { ++canvas_.page; }
    void EndDoc() override { ended_ = true; }
    int PageWidth() const override { return geometry_.pageWidth; }
    int PageHeight() const override { return geometry_.pageHeight; }
    int PixelsPerInchX() const override { return geometry_.pixelsPerInchX; }
    int PixelsPerInchY() const override { return geometry_.pixelsPerInchY; }
    int PhysicalOffsetX() const override { return geometry_.offsetX; }
    int PhysicalOffsetY() const override { return geometry_.offsetY; }

private:
    PrinterGeometry geometry_;
    RecordingCanvas canvas_;
    PrinterOrientation orientation_ = PrinterOrientation::Portrait;
    int fontSize_ = 10;
    bool begun_ = false;
    bool ended_ = false;
};
