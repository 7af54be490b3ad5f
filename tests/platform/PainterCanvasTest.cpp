#include "platform/widgets/PainterCanvas.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// A white image painted in black with a font of 13 pixels.
class CanvasOnImage : public testing::Test {
protected:
    CanvasOnImage() : image(80, 60, QImage::Format_RGB32) {
        image.fill(Qt::white);
        painter.begin(&image);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        canvas.SetFontHeight(13);
    }

    bool Black(int x, int y) const { return image.pixel(x, y) == qRgb(0, 0, 0); }
    // The rows that hold any ink.
    std::pair<int, int> InkedRows() const {
        int first = -1;
        int last = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                    if (first < 0) first = y;
                    last = y;
                }
        return {first, last};
    }

    QImage image;
    QPainter painter;
    PainterCanvas canvas{painter};
};

} // namespace

TEST_F(CanvasOnImage, LinesLeaveOutTheirEndPixel) {
    canvas.MoveTo(10, 10);
    canvas.LineTo(20, 10);
    canvas.LineTo(20, 30);
    canvas.MoveTo(40, 5);
    canvas.LineTo(32, 13);
    painter.end();
    EXPECT_TRUE(Black(19, 10));
    EXPECT_TRUE(Black(20, 10)) << "the next line starts where the last stopped short";
    EXPECT_TRUE(Black(20, 29));
    EXPECT_FALSE(Black(20, 30));
    EXPECT_TRUE(Black(33, 12));
    EXPECT_FALSE(Black(32, 13)) << "a diagonal stops one step short too";
}

TEST_F(CanvasOnImage, RectanglesOutlineInsideTheirRightAndBottom) {
    painter.setBrush(Qt::black);
    canvas.Rectangle(5, 5, 15, 12);
    painter.end();
    EXPECT_TRUE(Black(5, 5));
    EXPECT_TRUE(Black(14, 11));
    EXPECT_TRUE(Black(10, 8)) << "filled with the brush";
    EXPECT_FALSE(Black(15, 8));
    EXPECT_FALSE(Black(10, 12));
    EXPECT_FALSE(Black(4, 8));
}

TEST_F(CanvasOnImage, TextStandsBelowItsTopLeftCorner) {
    EXPECT_EQ(canvas.FontHeight(), 13);
    const int height = canvas.TextHeight("Wg");
    EXPECT_GE(height, 13);
    EXPECT_GT(canvas.TextWidth("WWWW"), canvas.TextWidth("W"));
    EXPECT_EQ(canvas.TextWidth(""), 0);
    canvas.TextOut(4, 20, "Wg");
    painter.end();
    const auto [first, last] = InkedRows();
    ASSERT_GE(first, 0);
    EXPECT_GE(first, 20);
    EXPECT_LT(last, 20 + height);
    EXPECT_LE(first, 24) << "capitals reach near the top";
}
