#include "platform/RecordingPrinter.h"
#include "platform/widgets/SystemPrinter.h"
#include "tests/support/Responders.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <gtest/gtest.h>

TEST(PrintDialogs, AnswerThroughTheDialogSeam) {
    SystemPrinter printer;
    DialogScript dialogs;
    dialogs.Expect<QPrintDialog>([&](QPrintDialog& d) {
        EXPECT_EQ(d.printer(), &printer.Device());
        d.accept();
    });
    dialogs.Expect<QPrintDialog>([](QPrintDialog& d) { d.reject(); });
    dialogs.Expect<QPageSetupDialog>([](QPageSetupDialog& d) { d.accept(); });
    dialogs.Expect<QPageSetupDialog>([](QPageSetupDialog& d) { d.reject(); });
    EXPECT_TRUE(PrintDialog(printer));
    EXPECT_FALSE(PrintDialog(printer));
    EXPECT_TRUE(PrinterSetupDialog(printer));
    EXPECT_FALSE(PrinterSetupDialog(printer));
}

TEST(SystemPrinterDevice, PageOffsetsAndOrientationDescribeThePaper) {
    SystemPrinter printer;
    printer.SetPdfFile("/dev/null");
    EXPECT_GE(printer.PixelsPerInchY(), 600); // printer resolution, not the screen's
    const QRect paper = printer.Device().pageLayout().fullRectPixels(printer.Device().resolution());
    // The printable area and its offsets lie within the paper.
    EXPECT_GE(printer.PhysicalOffsetX(), 0);
    EXPECT_LE(printer.PhysicalOffsetX() + printer.PageWidth(), paper.width());
    EXPECT_LE(printer.PhysicalOffsetY() + printer.PageHeight(), paper.height());

    printer.SetOrientation(PrinterOrientation::Portrait);
    const int width = printer.PageWidth(), height = printer.PageHeight();
    ASSERT_LT(width, height);
    printer.SetOrientation(PrinterOrientation::Landscape);
    EXPECT_EQ(printer.Orientation(), PrinterOrientation::Landscape);
    EXPECT_GT(printer.PageWidth(), printer.PageHeight());
}

TEST(SystemPrinterDevice, FontSizeScalesTheCanvasMetrics) {
    SystemPrinter printer;
    printer.SetPdfFile("/dev/null");
    Canvas& canvas = printer.GetCanvas();
    printer.SetFontSize(10);
    const int height10 = canvas.TextHeight("Ag"), width10 = canvas.TextWidth("nnnnnnnnnn");
    printer.SetFontSize(20);
    EXPECT_NEAR(canvas.TextHeight("Ag"), 2 * height10, 0.1 * height10);
    EXPECT_NEAR(canvas.TextWidth("nnnnnnnnnn"), 2 * width10, 0.1 * width10);
    // A 10-point line is about a seventh of an inch high.
    EXPECT_NEAR(height10, printer.PixelsPerInchY() * 10 / 72.0 * 1.15, height10 * 0.2);
    printer.SetFontSize(0); // nothing set: printed at 10 points
    EXPECT_EQ(canvas.TextHeight("Ag"), height10);
}

TEST(PrintDialogs, APrinterOfNoPrintServiceHasNone) {
    // The system printer the print commands use comes from the widgets part.
    EXPECT_NE(dynamic_cast<SystemPrinter*>(NewSystemPrinter().get()), nullptr);
    RecordingPrinter recording; // no dialog is shown: the strict responder would fail
    EXPECT_FALSE(PrintDialog(recording));
    EXPECT_FALSE(PrinterSetupDialog(recording));
}
