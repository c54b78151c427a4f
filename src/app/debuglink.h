// The debug link: the text of every report, byte for byte, to a log viewer listening on
// 127.0.0.1:8212. It only writes, never reports its own failures and never reconnects.
#pragma once

#include <string>

#include "platform/winsock.h"

class CDebugLink {
public:
    explicit CDebugLink(HWND hwnd);
    ~CDebugLink();

    int Connect();
    void Send(std::string text);
    void OnSocketEvent(SOCKET s, LPARAM lParam);
    void OnRead(SOCKET s);
    void Close(SOCKET s);

private:
    SOCKET m_Socket;
};

// Set by the main window's creation message and cleared when the window is destroyed; reports
// made while it is null reach only their box.
extern CDebugLink* g_pDebugLink;
