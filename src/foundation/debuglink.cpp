#include "foundation/debuglink.h"

#include <climits>

namespace {

constexpr UINT WM_SOCKET_EVENT = 0x402;  // WM_USER + 2
constexpr long LINK_EVENTS = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;
constexpr std::uint16_t LINK_PORT = 8212;

int SendSome(SOCKET s, const std::string& text, std::size_t from)
{
    const std::size_t left = text.size() - from;
    return send(s, text.data() + from, left > INT_MAX ? INT_MAX : static_cast<int>(left), 0);
}

}  // namespace

CDebugLink::CDebugLink(HWND hwnd)
{
    WSADATA wData;
    WSAStartup(0x0202, &wData);
    m_Socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    WSAAsyncSelect(m_Socket, hwnd, WM_SOCKET_EVENT, LINK_EVENTS);
}

// The socket stays open until the process ends; nothing is sent once the link is gone, except
// what the socket takes at once of the texts still waiting.
CDebugLink::~CDebugLink()
{
    SendPending();
}

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
    SendPending();
    std::size_t sent = 0;
    if (m_Pending.empty()) {
        const int n = SendSome(m_Socket, text, 0);
        if (n == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK)
            return;  // the link is down: the text is dropped, as every one after it
        sent = n == SOCKET_ERROR ? 0 : static_cast<std::size_t>(n);
    }
    if (sent == 0) {
        Keep(std::move(text));
    } else if (sent < text.size()) {
        // Begun, so it is finished whatever its size.
        m_nPendingBytes += text.size() - sent;
        m_nFrontSent = sent;
        m_Pending.push_back(std::move(text));
    }
}

void CDebugLink::SendPending()
{
    while (!m_Pending.empty()) {
        const std::string& text = m_Pending.front();
        const int sent = SendSome(m_Socket, text, m_nFrontSent);
        if (sent == SOCKET_ERROR) {
            if (WSAGetLastError() != WSAEWOULDBLOCK)
                DropPending();
            return;
        }
        m_nFrontSent += static_cast<std::size_t>(sent);
        m_nPendingBytes -= static_cast<std::size_t>(sent);
        if (m_nFrontSent < text.size())
            return;  // the socket is full
        m_Pending.pop_front();
        m_nFrontSent = 0;
    }
}

// Queues a text not begun, making room by dropping the oldest texts not begun; a text larger
// than the room they could make is dropped itself.
void CDebugLink::Keep(std::string text)
{
    if (text.empty())
        return;
    const bool frontBegun = m_nFrontSent > 0;
    const std::size_t begun = frontBegun ? m_Pending.front().size() - m_nFrontSent : 0;
    if (begun + text.size() > kPendingLimit)
        return;
    while (m_nPendingBytes + text.size() > kPendingLimit) {
        auto oldest = m_Pending.begin() + (frontBegun ? 1 : 0);
        m_nPendingBytes -= oldest->size();
        m_Pending.erase(oldest);
    }
    m_nPendingBytes += text.size();
    m_Pending.push_back(std::move(text));
}

void CDebugLink::DropPending()
{
    m_Pending.clear();
    m_nFrontSent = 0;
    m_nPendingBytes = 0;
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
