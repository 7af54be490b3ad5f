// A model program that reaches for a widget: it must not build, since the
// model links the platform's base alone. The widgets' headers are not on
// its path; named by their module's folder they are found, but nothing the
// model links provides a widget. Built only by the layer tests, never by
// the default build; MODULE_PATH chooses the second way of naming it.

#include "unified/core/RXEvent.h"

#ifdef MODULE_PATH
#include <QtWidgets/QWidget>
#else
#include <QWidget>
#endif

int main() {
    QWidget widget;
    return widget.width();
}
