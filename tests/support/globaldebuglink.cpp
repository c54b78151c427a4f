// Apart from testutil.cpp: the link's header brings the engine's socket names, which clash with
// the system's that the listener uses.
#include <utility>

#include "foundation/debuglink.h"
#include "support/testutil.h"

namespace testutil {

GlobalDebugLink::GlobalDebugLink()
{
    g_pDebugLink = new CDebugLink(nullptr);
    g_pDebugLink->Connect();
}

GlobalDebugLink::~GlobalDebugLink() { delete std::exchange(g_pDebugLink, nullptr); }

}  // namespace testutil
