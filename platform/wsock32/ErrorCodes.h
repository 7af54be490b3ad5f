#pragma once
// The Winsock error codes of the system's own errors: errno values of the
// socket calls, and the results of getaddrinfo and getnameinfo.

// 0 for 0; a code the library has no closer word for becomes WSAEINVAL. A
// connect in progress is WSAEWOULDBLOCK, as Winsock 1.1 says it.
int WinsockErrorOfErrno(int error);
// Name not found, try again, no data; anything else is non-recoverable.
int WinsockErrorOfLookup(int error);
