// The game frame: start-up, the per-tick update and quitting.
#include "app/gameframe.h"

#include "foundation/stringutil.h"
#include "platform/win32.h"

CGameFrame::CGameFrame()
{
    strClassName = "CGameFrame";
}

// The working folder becomes the root ("$") and the current folder.
bool CGameFrame::Setup()
{
    char path[256];
    GetCurrentDirectoryA(sizeof path, path);
    SetRootFolder(path);
    SetCurrentFolder("$");
    return true;
}

void CGameFrame::Update()
{
}

int CGameFrame::Command(float value)
{
    if (value == 0.05f) Quit();
    return 0;
}

void CGameFrame::Quit()
{
    PostQuitMessage(0);
}
