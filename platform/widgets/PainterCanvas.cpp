#include "platform/widgets/PainterCanvas.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace {

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

PainterCanvas::PainterCanvas(QPainter& painter) : painter_(painter) {
}

void PainterCanvas::TextOut(int x, int y, const std::string& text) {
    // The painter places text by its baseline.
    painter_.drawText(x, y + painter_.fontMetrics().ascent(), ToQString(text));
}

void PainterCanvas::MoveTo(int x, int y) {
    pen_ = QPoint(x, y);
}

void PainterCanvas::LineTo(int x, int y) {
    const QPoint from = pen_;
    pen_ = QPoint(x, y);
    const int dx = x - from.x();
    const int dy = y - from.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    if (steps == 0) return;
    // One step short along the line: the end pixel stays unpainted.
    const QPoint last(from.x() + dx * (steps - 1) / steps, from.y() + dy * (steps - 1) / steps);
    painter_.drawLine(from, last);
}

int PainterCanvas::PixelsPerInch() const {
    return painter_.device() != nullptr ? painter_.device()->logicalDpiY() : 96;
}

void PainterCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (right - left < 1 || bottom - top < 1) return;
    if (right - left > 2 && bottom - top > 2)
        painter_.fillRect(left + 1, top + 1, right - left - 2, bottom - top - 2, painter_.brush());
    painter_.drawRect(left, top, right - left - 1, bottom - top - 1);
}

int PainterCanvas::TextWidth(const std::string& text) {
    return painter_.fontMetrics().horizontalAdvance(ToQString(text));
}

int PainterCanvas::TextHeight(const std::string&) {
    return painter_.fontMetrics().height();
}

int PainterCanvas::FontHeight() const {
    const QFont font = painter_.font();
    return font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height();
}

void PainterCanvas::SetFontHeight(int pixels) {
    QFont font = painter_.font();
    font.setPixelSize(std::max(1, pixels));
    painter_.setFont(font);
}
