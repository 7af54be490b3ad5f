#pragma once
// The printer behind the print commands: the system's print service, or a
// PDF file, at the device's high resolution. NewSystemPrinter makes it once
// the widgets part is installed, and PrintDialog and PrinterSetupDialog show
// its dialogs.

#include "platform/Printer.h"

#include <memory>
#include <string>

class QPrinter;

class SystemPrinter : public Printer {
public:
    SystemPrinter();
    ~SystemPrinter() override;
    SystemPrinter(const SystemPrinter&) = delete;
    SystemPrinter& operator=(const SystemPrinter&) = delete;

    // Prints into this PDF file from now on instead of a printer.
    void SetPdfFile(const std::string& path);
    QPrinter& Device() { return *device_; }

    Canvas& GetCanvas() override;
    PrinterOrientation Orientation() const override;
    void SetOrientation(PrinterOrientation orientation) override;
    void SetFontSize(int points) override;
    bool BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    int PageWidth() const override;
    int PageHeight() const override;
    int PixelsPerInchX() const override;
    int PixelsPerInchY() const override;
    int PhysicalOffsetX() const override;
    int PhysicalOffsetY() const override;

private:
    class PrinterCanvas;
    std::unique_ptr<QPrinter> device_;
    std::unique_ptr<PrinterCanvas> canvas_;
};
