// Network code that reaches for a widget: it must not build, since the
// socket layer links the platform's base alone, as the model does. Built
// only by the layer tests; MODULE_PATH names the widget by its module's
// folder, which finds the header but nothing to link.

#include "net/WSocket.h"

#ifdef MODULE_PATH
#include <QtWidgets/QWidget>
#else
#include <QWidget>
#endif

int main() {
    QWidget widget;
    return widget.width() + int(WSocketErrorDesc(0).size());
}
