#pragma once
// The types and numbers of Windows Sockets 1.1 as the socket layer uses
// them, for the project's own library libwsock32.so. Names that the C
// library's socket headers also define as macros carry a "WS_" prefix here,
// so that both headers can meet in one file; the numbers are Winsock's, not
// the C library's.

#include "platform/WindowMessages.h"

#include <cstdint>

using UCHAR = std::uint8_t;
using USHORT = std::uint16_t;
using ULONG = std::uint32_t;
// Handles are numbers that are never given out twice in a process, so that
// a message left over for a closed socket never matches a new one.
using SOCKET = std::uintptr_t;
using HANDLE = void*;

constexpr SOCKET INVALID_SOCKET = ~SOCKET(0);
constexpr int SOCKET_ERROR = -1;

constexpr int WS_AF_INET = 2;
constexpr int WS_PF_INET = 2;
constexpr int WS_SOCK_STREAM = 1;
constexpr int WS_SOCK_DGRAM = 2;
constexpr int WS_SOCK_RAW = 3;
constexpr int WS_IPPROTO_IP = 0;
constexpr int WS_IPPROTO_TCP = 6;
constexpr int WS_IPPROTO_UDP = 17;
constexpr ULONG WS_INADDR_ANY = 0x00000000;
constexpr ULONG WS_INADDR_NONE = 0xFFFFFFFF;

constexpr int WS_MSG_OOB = 0x1;
constexpr int WS_MSG_PEEK = 0x2;
constexpr int WS_MSG_DONTROUTE = 0x4;

constexpr int SD_RECEIVE = 0;
constexpr int SD_SEND = 1;
constexpr int SD_BOTH = 2;

constexpr int WS_SOL_SOCKET = 0xFFFF;
constexpr int WS_SO_ACCEPTCONN = 0x0002;
constexpr int WS_SO_REUSEADDR = 0x0004;
constexpr int WS_SO_KEEPALIVE = 0x0008;
constexpr int WS_SO_BROADCAST = 0x0020;
constexpr int WS_SO_LINGER = 0x0080;
constexpr int WS_SO_OOBINLINE = 0x0100;
constexpr int WS_SO_DONTLINGER = ~WS_SO_LINGER;
constexpr int WS_SO_SNDBUF = 0x1001;
constexpr int WS_SO_RCVBUF = 0x1002;
constexpr int WS_SO_ERROR = 0x1007;
constexpr int WS_SO_TYPE = 0x1008;
constexpr int WS_TCP_NODELAY = 0x0001;
constexpr int WS_IP_MULTICAST_IF = 2;
constexpr int WS_IP_MULTICAST_TTL = 3;
constexpr int WS_IP_MULTICAST_LOOP = 4;
constexpr int WS_IP_ADD_MEMBERSHIP = 5;
constexpr int WS_IP_DROP_MEMBERSHIP = 6;

constexpr long WS_FIONREAD = 0x4004667F;
constexpr long WS_FIONBIO = long(0x8004667Eu);
constexpr long WS_SIOCATMARK = 0x40047307;

// Network events of WSAAsyncSelect: the low word of the message's LParam.
constexpr long FD_READ = 0x01;
constexpr long FD_WRITE = 0x02;
constexpr long FD_OOB = 0x04;
constexpr long FD_ACCEPT = 0x08;
constexpr long FD_CONNECT = 0x10;
constexpr long FD_CLOSE = 0x20;

constexpr int WSABASEERR = 10000;
constexpr int WSAEINTR = 10004;
constexpr int WSAEBADF = 10009;
constexpr int WSAEACCES = 10013;
constexpr int WSAEFAULT = 10014;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEMFILE = 10024;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEINPROGRESS = 10036;
constexpr int WSAEALREADY = 10037;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEDESTADDRREQ = 10039;
constexpr int WSAEMSGSIZE = 10040;
constexpr int WSAEPROTOTYPE = 10041;
constexpr int WSAENOPROTOOPT = 10042;
constexpr int WSAEPROTONOSUPPORT = 10043;
constexpr int WSAESOCKTNOSUPPORT = 10044;
constexpr int WSAEOPNOTSUPP = 10045;
constexpr int WSAEPFNOSUPPORT = 10046;
constexpr int WSAEAFNOSUPPORT = 10047;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAEADDRNOTAVAIL = 10049;
constexpr int WSAENETDOWN = 10050;
constexpr int WSAENETUNREACH = 10051;
constexpr int WSAENETRESET = 10052;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOBUFS = 10055;
constexpr int WSAEISCONN = 10056;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAESHUTDOWN = 10058;
constexpr int WSAETOOMANYREFS = 10059;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAELOOP = 10062;
constexpr int WSAENAMETOOLONG = 10063;
constexpr int WSAEHOSTDOWN = 10064;
constexpr int WSAEHOSTUNREACH = 10065;
constexpr int WSAENOTEMPTY = 10066;
constexpr int WSAEPROCLIM = 10067;
constexpr int WSAEUSERS = 10068;
constexpr int WSAEDQUOT = 10069;
constexpr int WSAESTALE = 10070;
constexpr int WSAEREMOTE = 10071;
constexpr int WSASYSNOTREADY = 10091;
constexpr int WSAVERNOTSUPPORTED = 10092;
constexpr int WSANOTINITIALISED = 10093;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSATRY_AGAIN = 11002;
constexpr int WSANO_RECOVERY = 11003;
constexpr int WSANO_DATA = 11004;

// The largest host entry an asynchronous look-up may need.
constexpr int MAXGETHOSTSTRUCT = 1024;

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[257];
    char szSystemStatus[129];
    unsigned short iMaxSockets;
    unsigned short iMaxUdpDg;
    char* lpVendorInfo;
};

struct IN_ADDR {
    ULONG S_addr; // network order
};

struct SOCKADDR {
    USHORT sa_family;
    char sa_data[14];
};

struct SOCKADDR_IN {
    short sin_family;
    USHORT sin_port; // network order
    IN_ADDR sin_addr;
    char sin_zero[8];
};

struct HOSTENT {
    char* h_name;
    char** h_aliases;
    short h_addrtype;
    short h_length;
    char** h_addr_list;
};

struct SERVENT {
    char* s_name;
    char** s_aliases;
    short s_port; // network order
    char* s_proto;
};

struct PROTOENT {
    char* p_name;
    char** p_aliases;
    short p_proto;
};

// Winsock's linger: two shorts, unlike the C library's two ints.
struct LINGER {
    USHORT l_onoff;
    USHORT l_linger;
};

struct IP_MREQ {
    IN_ADDR imr_multiaddr;
    IN_ADDR imr_interface;
};

// Every entry point is exported as this prefix followed by its Winsock
// name, so that none of them stands in for the C library's functions.
#define WINSOCK_EXPORT_PREFIX "rxws_"

// How the library posts its messages: the program hands it its own
// PostMessageA once loaded (exported as the prefix + "SetMessagePoster").
using WinsockMessagePoster = bool (*)(HWND, UINT, WPARAM, LPARAM);
