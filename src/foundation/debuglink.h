// The debug link: the text of every report, byte for byte, to a log viewer listening on
// 127.0.0.1:8212. It only writes, never reports its own failures and never reconnects.
//
// The socket never blocks. What a full socket cannot take waits in a queue of at most 4 MB and
// goes out on later ticks, in order, so that a viewer that reads gets the whole of a burst larger
// than the socket buffer. A text is never cut: one begun is always finished, and when the queue
// is full whole texts are dropped, the oldest waiting first. A link that fails (no viewer, or
// one that closed) drops what it holds, as it drops every later text.
//
// It lives beside the reports that feed it, below every folder that reports; the shell's window
// procedure makes it and sets the pointer.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "platform/winsock.h"

class CDebugLink {
public:
    static constexpr std::size_t kPendingLimit = 4 * 1024 * 1024;

    explicit CDebugLink(HWND hwnd);
    ~CDebugLink();

    int Connect();
    void Send(std::string text);
    // Sends what earlier texts left waiting, as much as the socket takes now. Once a tick.
    void SendPending();
    void OnSocketEvent(SOCKET s, LPARAM lParam);
    void OnRead(SOCKET s);
    void Close(SOCKET s);

private:
    void Keep(std::string text);
    void DropPending();

    SOCKET m_Socket;
    std::deque<std::string> m_Pending;  // texts waiting, oldest first
    std::size_t m_nFrontSent = 0;       // bytes of the first waiting text already sent
    std::size_t m_nPendingBytes = 0;    // bytes waiting in all, not yet sent
};

// Set by the main window's creation message and cleared when the window is destroyed; reports
// made while it is null reach only their box.
extern CDebugLink* g_pDebugLink;
