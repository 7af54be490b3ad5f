#pragma once
// The printer as the reports see it: a page of device pixels with a canvas
// to draw on, begun, turned and ended as a document. SystemPrinter drives a
// real printer or a PDF file; RecordingPrinter keeps what was drawn, with
// fixed metrics, for tests. Nothing here needs a window system.

#include "platform/Canvas.h"

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
