// A model file that reaches for a widget: it must not build, since the model
// links the platform's base alone and the widgets' headers are not on its
// path. Built only by the layer test, never by the default build.

#include "unified/core/RXEvent.h"

#include <QWidget>

int WidgetInModel() {
    QWidget widget;
    return widget.width();
}
