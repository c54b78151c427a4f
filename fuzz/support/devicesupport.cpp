#include "support/devicesupport.h"

#include <cstdlib>

#include "foundation/device.h"
#include "platform/seams.h"

namespace fuzz {

void MakeDevice()
{
    // Off screen; and llvmpipe's worker threads, alive at exit, upset the leak check.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("LP_NUM_THREADS", "0", 0);
    g_pDevice = platform::seams::MakeOffscreenDevice(64, 64);
}

}  // namespace fuzz
