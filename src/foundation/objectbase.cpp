#include "foundation/objectbase.h"

#include "foundation/debuglink.h"
#include "platform/win32.h"

namespace {

// Reports made before the link exists or after it is gone reach only their box.
void SendToLink(const std::string& text)
{
    if (g_pDebugLink)
        g_pDebugLink->Send(text);
}

}  // namespace

void CObject::Error(std::string msg)
{
    MessageBoxA(nullptr, msg.c_str(), strClassName.c_str(), MB_OK);
    SendToLink(msg);
}

void CNamedObject::Error(std::string msg)
{
    std::string caption = strClassName + ":" + strObjectName;
    MessageBoxA(nullptr, msg.c_str(), caption.c_str(), MB_OK);
    SendToLink(msg);
}

void CNamedObject::Warning(std::string msg, int)
{
    std::string text = "warning:" + msg;
    MessageBoxA(nullptr, text.c_str(), strClassName.c_str(), MB_OK);
    SendToLink(text);
}

void GlobalError(std::string msg)
{
    MessageBoxA(nullptr, msg.c_str(), "global", MB_OK);
    SendToLink(msg);
}

void GlobalReport(std::string msg)
{
    SendToLink(msg);
}
