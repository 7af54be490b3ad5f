#include "platform/wsock32/ErrorCodes.h"

#include "platform/Winsock.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <netdb.h>

namespace {

// The codes whose texts the protocol clients show for everyday failures.
TEST(WinsockErrors, SystemErrorsBecomeTheCodesOfTheirTexts) {
    struct Case {
        int system, winsock;
    };
    const Case ofErrno[] = {
        {0, 0},
        {EINPROGRESS, WSAEWOULDBLOCK},
        {EAGAIN, WSAEWOULDBLOCK},
        {ECONNREFUSED, WSAECONNREFUSED},
        {ECONNRESET, WSAECONNRESET},
        {EPIPE, WSAECONNRESET},
        {ETIMEDOUT, WSAETIMEDOUT},
        {EADDRINUSE, WSAEADDRINUSE},
        {ENETUNREACH, WSAENETUNREACH},
        {EHOSTUNREACH, WSAEHOSTUNREACH},
        {ENOTCONN, WSAENOTCONN},
        {EMFILE, WSAEMFILE},
        {EIO, WSAEINVAL},
    };
    for (const Case& c : ofErrno)
        EXPECT_EQ(WinsockErrorOfErrno(c.system), c.winsock) << c.system;
    const Case ofLookup[] = {
        {EAI_NONAME, WSAHOST_NOT_FOUND},
        {EAI_AGAIN, WSATRY_AGAIN},
        {EAI_FAIL, WSANO_RECOVERY},
        {EAI_MEMORY, WSAENOBUFS},
    };
    for (const Case& c : ofLookup)
        EXPECT_EQ(WinsockErrorOfLookup(c.system), c.winsock) << c.system;
}

} // namespace
