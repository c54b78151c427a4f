#include "app/debuglink.h"

namespace {

constexpr UINT WM_SOCKET_EVENT = 0x402;  // WM_USER + 2
constexpr long LINK_EVENTS = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;
constexpr std::uint16_t LINK_PORT = 8212;

}  // namespace

CDebugLink::CDebugLink(HWND hwnd)
{
    WSADATA wData;
    WSAStartup(0x0202, &wData);
    m_Socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    WSAAsyncSelect(m_Socket, hwnd, WM_SOCKET_EVENT, LINK_EVENTS);
}

// The socket stays open until the process ends; nothing is sent once the link is gone.
CDebugLink::~CDebugLink() = default;

int CDebugLink::Connect()
{
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(LINK_PORT);
    target.sin_addr.s_addr = inet_addr("127.0.0.1");
    return connect(m_Socket, reinterpret_cast<const sockaddr*>(&target), 16);
}

void CDebugLink::Send(std::string text)
{
    send(m_Socket, text.c_str(), static_cast<int>(text.size()), 0);
}

void CDebugLink::OnSocketEvent(SOCKET s, LPARAM lParam)
{
    switch (LOWORD(static_cast<std::uintptr_t>(lParam))) {
    case FD_READ:
        OnRead(s);
        break;
    case FD_CLOSE:
        Close(s);
        break;
    default:
        break;
    }
}

void CDebugLink::OnRead(SOCKET) {}

void CDebugLink::Close(SOCKET s)
{
    closesocket(s);
}
