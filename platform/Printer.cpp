#include "platform/Printer.h"

namespace {

PrinterBackEnd& BackEnd() {
    static PrinterBackEnd backEnd;
    return backEnd;
}

} // namespace

std::unique_ptr<Printer> NewSystemPrinter() {
    return BackEnd().make ? BackEnd().make() : nullptr;
}

bool PrintDialog(Printer& printer) {
    return BackEnd().printDialog && BackEnd().printDialog(printer);
}

bool PrinterSetupDialog(Printer& printer) {
    return BackEnd().setupDialog && BackEnd().setupDialog(printer);
}

void SetPrinterBackEnd(PrinterBackEnd backEnd) {
    BackEnd() = std::move(backEnd);
}
