// Every global object of the program, defined in this one translation unit so that they are
// built in this order before the entry function runs and destroyed in the reverse order after
// it returns.
#include <string>

#include "app/debuglink.h"
#include "app/gameframe.h"
#include "app/winmain.h"
#include "foundation/stringutil.h"

IDirect3DDevice9* g_pDevice = nullptr;
CDebugLink* g_pDebugLink = nullptr;

CGameFrame g_GameFrame;

std::string g_RootFolder;
std::string g_CurrentFolder;
