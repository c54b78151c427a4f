// Every global object of the program, defined in this one translation unit so that they are
// built in this order before the entry function runs and destroyed in the reverse order after
// it returns.
#include <string>

#include "app/debuglink.h"
#include "foundation/stringutil.h"

CDebugLink* g_pDebugLink = nullptr;

std::string g_RootFolder;
std::string g_CurrentFolder;
