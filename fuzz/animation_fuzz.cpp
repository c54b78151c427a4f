// Animation group files on any bytes: the group loaded with its sheet and buffers, every
// definition emitted until the pool is full, stepped and drawn from a fixed camera for a bounded
// number of ticks on a real (off-screen) device.
#include <cstddef>
#include <cstdint>

#include "foundation/device.h"
#include "support/fuzzsupport.h"
#include "support/testdevice.h"
#include "world/animation.h"
#include "world/camera.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    static IDirect3DDevice9* const device = testutil::MakeTestDevice(32, 32);
    g_pDevice = device;
    fuzz::WriteInput(data, size, "group.txt");
    AnimationManager manager;
    CSceneCamera camera;
    manager.LoadGroups(fuzz::InputFolder(), "group.txt");
    for (TArrayListBlock<CAnimationGroup>* block = manager.groups.pFirstBlock; block; block = block->pNext)
        for (int g = 0; g < block->nUsed; ++g) {
            CAnimationGroup& group = block->pItems[g];
            for (TArrayListBlock<TAnimData>* defs = group.anims.pFirstBlock; defs; defs = defs->pNext)
                for (int i = 0; i < defs->nUsed; ++i)
                    for (int k = 0; k < 3; ++k)
                        manager.Emit(&defs->pItems[i], D3DXVECTOR3(0, 0, 10.0f * k), D3DXVECTOR3(0, 1, 0));
            if (group.nActive > group.MaxAnimCount || group.nActive < 0) __builtin_trap();
        }
    for (int tick = 0; tick < 8; ++tick) {
        manager.Update();
        if (g_pDevice) {
            g_pDevice->BeginScene();
            manager.Render(camera);
            g_pDevice->EndScene();
        }
    }
    fuzz::ReturnToStartFolder();
    return 0;
}
