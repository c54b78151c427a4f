#define PLATFORM_WINSOCK_IMPLEMENTATION
#include "platform/winsock.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/seams.h"

// glibc may define htons as a macro, which would rename our definition below.
#undef htons

namespace {

thread_local int t_LastError = 0;
int g_SendBuffer = 0;  // test seam: 0 leaves the system's own

int Fail(int error)
{
    t_LastError = error;
    return winsock::SOCKET_ERROR;
}

// The Winsock code of a failed POSIX call.
int FailFromErrno()
{
    switch (errno) {
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case EINPROGRESS:
        return Fail(winsock::WSAEWOULDBLOCK);
    case ENOTCONN:
        return Fail(winsock::WSAENOTCONN);
    case ECONNREFUSED:
        return Fail(winsock::WSAECONNREFUSED);
    default:  // EPIPE, ECONNRESET and the rest: the connection is gone
        return Fail(winsock::WSAECONNRESET);
    }
}

}  // namespace

namespace platform::seams {

void SetSocketSendBuffer(int bytes)
{
    g_SendBuffer = bytes;
}

}  // namespace platform::seams

namespace winsock {

int WSAStartup(WORD versionRequested, WSADATA* data)
{
    if (data) {
        std::memset(data, 0, sizeof *data);
        data->wVersion = versionRequested;
        data->wHighVersion = 0x0202;
    }
    return 0;
}

int WSACleanup()
{
    return 0;
}

SOCKET socket(int af, int type, int protocol)
{
    if (af != AF_INET || type != SOCK_STREAM)
        return INVALID_SOCKET;
    int fd = ::socket(PF_INET, SOCK_STREAM | SOCK_CLOEXEC, protocol == IPPROTO_TCP ? IPPROTO_TCP : 0);
    if (fd < 0)
        return INVALID_SOCKET;
    if (g_SendBuffer > 0)
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &g_SendBuffer, sizeof g_SendBuffer);
    return static_cast<SOCKET>(fd);
}

int WSAAsyncSelect(SOCKET s, HWND, UINT, long)
{
    if (s == INVALID_SOCKET)
        return SOCKET_ERROR;
    int fd = static_cast<int>(s);
    int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0)
        return SOCKET_ERROR;
    return 0;
}

int connect(SOCKET s, const sockaddr* name, int nameLength)
{
    if (s == INVALID_SOCKET)
        return Fail(WSAENOTSOCK);
    if (!name || nameLength < static_cast<int>(sizeof(sockaddr_in)))
        return Fail(WSAEINVAL);
    sockaddr_in win;
    std::memcpy(&win, name, sizeof win);
    ::sockaddr_in native{};
    native.sin_family = PF_INET;
    native.sin_port = win.sin_port;
    native.sin_addr.s_addr = win.sin_addr.s_addr;
    int r = ::connect(static_cast<int>(s), reinterpret_cast<::sockaddr*>(&native), sizeof native);
    return r == 0 ? 0 : FailFromErrno();
}

int send(SOCKET s, const char* buffer, int length, int flags)
{
    if (s == INVALID_SOCKET)
        return Fail(WSAENOTSOCK);
    if (length < 0)
        return Fail(WSAEINVAL);
    if (length == 0)
        return 0;
    ssize_t n = ::send(static_cast<int>(s), buffer, static_cast<std::size_t>(length), MSG_NOSIGNAL | MSG_DONTWAIT);
    return n < 0 ? FailFromErrno() : static_cast<int>(n);
}

int WSAGetLastError()
{
    return t_LastError;
}

int closesocket(SOCKET s)
{
    if (s == INVALID_SOCKET)
        return SOCKET_ERROR;
    return ::close(static_cast<int>(s)) == 0 ? 0 : SOCKET_ERROR;
}

std::uint16_t htons(std::uint16_t v)
{
    return ::htons(v);
}

std::uint32_t inet_addr(const char* dotted)
{
    return dotted ? ::inet_addr(dotted) : INADDR_NONE;
}

}  // namespace winsock
