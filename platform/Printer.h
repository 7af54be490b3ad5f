#pragma once
// The printer as the reports see it: a page of device pixels with a canvas
// to draw on, begun, turned and ended as a document. The system's printer (a
// print service or a PDF file) comes from the widgets part; RecordingPrinter
// keeps what was drawn, with fixed metrics, for tests. Nothing here needs a
// window system.

#include "platform/Canvas.h"

#include <functional>
#include <memory>
#include <string>

enum class PrinterOrientation { Portrait, Landscape };

class Printer {
public:
    virtual ~Printer() = default;

    virtual Canvas& GetCanvas() = 0;

    virtual PrinterOrientation Orientation() const = 0;
    virtual void SetOrientation(PrinterOrientation orientation) = 0;
    // The canvas font's size in points.
    virtual void SetFontSize(int points) = 0;

    // False when the job cannot start (no printer, an unwritable file).
    virtual bool BeginDoc() = 0;
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;

    // The printable area in device pixels.
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual int PixelsPerInchX() const = 0;
    virtual int PixelsPerInchY() const = 0;
    // Where the printable area starts, from the paper's edges.
    virtual int PhysicalOffsetX() const = 0;
    virtual int PhysicalOffsetY() const = 0;
};

// The printer behind the print commands; null when no back end is
// installed (no window system).
std::unique_ptr<Printer> NewSystemPrinter();

// The print dialog (which printer, which pages, how many copies) and the
// printer-setup dialog (paper and orientation) of a printer that
// NewSystemPrinter made. True when the user pressed OK; false without a back
// end. They run through ShowModal, so tests answer them like any dialog.
bool PrintDialog(Printer& printer);
bool PrinterSetupDialog(Printer& printer);

// Installs the system's printer and its dialogs; an empty member removes
// that part.
struct PrinterBackEnd {
    std::function<std::unique_ptr<Printer>()> make;
    std::function<bool(Printer&)> printDialog;
    std::function<bool(Printer&)> setupDialog;
};
void SetPrinterBackEnd(PrinterBackEnd backEnd);
