// The Winsock 2 subset of the debug link, on POSIX sockets (winsock/). The declarations live in
// namespace winsock and are brought to global scope for engine code, which never sees the POSIX
// headers.
#pragma once

#include "platform/win32.h"

namespace winsock {

using SOCKET = std::uintptr_t;
constexpr SOCKET INVALID_SOCKET = static_cast<SOCKET>(~static_cast<std::uintptr_t>(0));
constexpr int SOCKET_ERROR = -1;

constexpr int AF_INET = 2;
constexpr int SOCK_STREAM = 1;
constexpr int IPPROTO_TCP = 6;

// WSAGetLastError codes.
constexpr int WSAEINVAL = 10022;
constexpr int WSAEWOULDBLOCK = 10035;  // a non-blocking call that would have to wait
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAECONNREFUSED = 10061;

constexpr long FD_READ = 0x01;
constexpr long FD_WRITE = 0x02;
constexpr long FD_OOB = 0x04;
constexpr long FD_ACCEPT = 0x08;
constexpr long FD_CONNECT = 0x10;
constexpr long FD_CLOSE = 0x20;

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[257];
    char szSystemStatus[129];
};

struct in_addr {
    std::uint32_t s_addr;  // network byte order
};

struct sockaddr {
    std::uint16_t sa_family;
    char sa_data[14];
};

struct sockaddr_in {
    std::int16_t sin_family;
    std::uint16_t sin_port;  // network byte order
    in_addr sin_addr;
    char sin_zero[8];
};

int WSAStartup(WORD versionRequested, WSADATA* data);
int WSACleanup();
SOCKET socket(int af, int type, int protocol);
// Its only lasting effect here: the socket becomes non-blocking. Events are never posted.
int WSAAsyncSelect(SOCKET s, HWND hwnd, UINT msg, long events);
int connect(SOCKET s, const sockaddr* name, int nameLength);
// Never raises SIGPIPE; a viewer that closed its end just makes the send fail. On a non-blocking
// socket it takes what the socket buffer has room for; with no room it fails with WSAEWOULDBLOCK.
int send(SOCKET s, const char* buffer, int length, int flags);
// The error of the calling thread's last failed call.
int WSAGetLastError();
int closesocket(SOCKET s);
std::uint16_t htons(std::uint16_t v);
std::uint32_t inet_addr(const char* dotted);

}  // namespace winsock

#ifndef PLATFORM_WINSOCK_IMPLEMENTATION
using namespace winsock;
#endif
