#pragma once
// A canvas that paints through a QPainter: on a widget, an image or a page.

#include "platform/Canvas.h"

#include <QPoint>

class QPainter;

class PainterCanvas : public Canvas {
public:
    // Paints with the painter's font, pen and brush as they stand.
    explicit PainterCanvas(QPainter& painter);

    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    int PixelsPerInch() const override;
    void Rectangle(int left, int top, int right, int bottom) override;
    int FontHeight() const override;
    void SetFontHeight(int pixels) override;

private:
    QPainter& painter_;
    QPoint pen_;
};
