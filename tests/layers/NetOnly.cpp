// The network probe without the widget: the socket layer, the platform's
// message windows and Qt Core build and link where the socket layer does.

#include "net/Md5.h"
#include "net/WSocket.h"
#include "platform/WindowMessages.h"

#include <QString>

int main() {
    return QString::fromStdString(StrMD5("net")).size() + int(GetTickCount() & 0);
}
