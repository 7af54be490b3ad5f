#include "platform/widgets/SystemPrinter.h"

#include <QFont>
#include <QFontMetrics>
#include <QLineF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

class SystemPrinter::PrinterCanvas : public Canvas {
public:
    explicit PrinterCanvas(QPrinter& device) : device_(device) {
        font_.setFamily("Sans Serif");
        font_.setStyleHint(QFont::SansSerif);
        font_.setPointSize(10);
    }

    void SetPointSize(int points) {
        font_.setPointSize(points > 0 ? points : 10);
        if (painter_.isActive()) painter_.setFont(font_);
    }

    bool Begin() {
        if (!painter_.begin(&device_)) return false;
        painter_.setFont(font_);
        painter_.setPen(QPen(Qt::black, 1));
        return true;
    }
    void End() {
        if (painter_.isActive()) painter_.end();
    }

    void TextOut(int x, int y, const std::string& text) override {
        if (!painter_.isActive()) return;
        // The painter places a text by its baseline.
        painter_.drawText(QPoint(x, y + Metrics().ascent()), QString::fromStdString(text));
    }
    int TextWidth(const std::string& text) override {
        return Metrics().horizontalAdvance(QString::fromStdString(text));
    }
    int TextHeight(const std::string&) override { return Metrics().height(); }
    void MoveTo(int x, int y) override { position_ = QPointF(x, y); }
    void LineTo(int x, int y) override {
        QLineF line(position_, QPointF(x, y));
        position_ = line.p2();
        if (!painter_.isActive() || line.length() < 1) return;
        // A line stops one pixel short of its end point.
        line.setLength(line.length() - 1);
        painter_.drawLine(line);
    }
    int PixelsPerInch() const override { return device_.logicalDpiY(); }
    void Rectangle(int left, int top, int right, int bottom) override {
        if (painter_.isActive() && right - left >= 1 && bottom - top >= 1)
            painter_.drawRect(left, top, right - left - 1, bottom - top - 1);
    }
    int FontHeight() const override { return Metrics().height(); }
    void SetFontHeight(int pixels) override {
        font_.setPixelSize(pixels > 0 ? pixels : 1);
        if (painter_.isActive()) painter_.setFont(font_);
    }

private:
    QFontMetrics Metrics() const { return QFontMetrics(font_, &device_); }

    QPrinter& device_;
    QFont font_;
    QPainter painter_;
    QPointF position_;
};

SystemPrinter::SystemPrinter()
    : device_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      canvas_(std::make_unique<PrinterCanvas>(*device_)) {
}

SystemPrinter::~SystemPrinter() {
    canvas_->End();
}

void SystemPrinter::SetPdfFile(const std::string& path) {
    device_->setOutputFormat(QPrinter::PdfFormat);
    device_->setOutputFileName(QString::fromStdString(path));
}

Canvas& SystemPrinter::GetCanvas() {
    return *canvas_;
}

PrinterOrientation SystemPrinter::Orientation() const {
    return device_->pageLayout().orientation() == QPageLayout::Landscape
               ? PrinterOrientation::Landscape
               : PrinterOrientation::Portrait;
}

void SystemPrinter::SetOrientation(PrinterOrientation orientation) {
    device_->setPageOrientation(orientation == PrinterOrientation::Landscape
                                    ? QPageLayout::Landscape
                                    : QPageLayout::Portrait);
}

void SystemPrinter::SetFontSize(int points) {
    canvas_->SetPointSize(points);
}

bool SystemPrinter::BeginDoc() {
    return canvas_->Begin();
}

void SystemPrinter::NewPage() {
    device_->newPage();
}

void SystemPrinter::EndDoc() {
    canvas_->End();
}

int SystemPrinter::PageWidth() const {
    return device_->width();
}

int SystemPrinter::PageHeight() const {
    return device_->height();
}

int SystemPrinter::PixelsPerInchX() const {
    return device_->logicalDpiX();
}

int SystemPrinter::PixelsPerInchY() const {
    return device_->logicalDpiY();
}

int SystemPrinter::PhysicalOffsetX() const {
    return device_->pageLayout().paintRectPixels(device_->resolution()).left();
}

int SystemPrinter::PhysicalOffsetY() const {
    return device_->pageLayout().paintRectPixels(device_->resolution()).top();
}
