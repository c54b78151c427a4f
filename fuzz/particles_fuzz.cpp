// Particle files on any bytes: loaded into a system that is then enabled, stepped and drawn for
// a bounded number of ticks. The pool must keep its bounds whatever the file says.
#include <cstddef>
#include <cstdint>

#include "foundation/device.h"
#include "foundation/random.h"
#include "support/fuzzsupport.h"
#include "support/testdevice.h"
#include "world/particles.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    g_pDevice = testutil::MakeTestDevice(64, 64);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    RandomRestart();
    CParticleSystem particles;
    particles.Load(fuzz::WriteInput(data, size, "particles.txt"));
    particles.bEnabled = true;
    for (int tick = 0; tick < 16; ++tick) {
        particles.Update();
        if (particles.nLiveCount < 0 || particles.nLiveCount > particles.MaxParticle || particles.MaxParticle > 1000)
            __builtin_trap();
    }
    particles.Render();
    return 0;
}
