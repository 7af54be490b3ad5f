// The same probe without the widget: model headers, the platform's seams and
// Qt Core build and link where the model does. It shows that the widget probe fails
// for its widget and not for how the probe is built.

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/RXEvent.h"
#include "unified/draw/Draw.h"
#include "unified/ladder/Ladder.h"
#include "unified/schedule/Matches.h"

#include <QString>

int main() {
    return QString::fromStdString("ladder").size();
}
