// What the terrain and particle tests share: a scratch root folder made current, captured
// boxes, a test device, and small files written into the root.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bindings/bindings.h"
#include "foundation/device.h"
#include "foundation/stringutil.h"
#include "support/mediafiles.h"
#include "support/testdevice.h"
#include "support/testutil.h"
#include "world/heightblock.h"
#include "world/scene.h"

class WorldTest : public testing::Test {
protected:
    testutil::TempDir root;
    testutil::ScopedCwd cwd{root.Path()};
    testutil::BoxCapture boxes;

    void SetUp() override
    {
        UseDevice(64, 64);
        SetRootFolder(root.WindowsPath());
        SetCurrentFolder("$");
    }
    void TearDown() override
    {
        g_HeightBlockManager.Clear();
        UseDevice(0, 0);
    }

    // A fresh device of that size; none for 0.
    void UseDevice(UINT width, UINT height)
    {
        if (g_pDevice)
            g_pDevice->Release();
        g_pDevice = width ? testutil::MakeTestDevice(width, height) : nullptr;
        if (width) {
            ASSERT_NE(g_pDevice, nullptr);
        }
    }

    // A 24-bit bitmap of grey values, top row first.
    void WriteGreys(const std::string& name, int width, int height, const std::vector<std::uint32_t>& greys) const
    {
        std::vector<std::uint32_t> pixels;
        for (std::uint32_t g : greys)
            pixels.push_back(g * 0x010101u);
        root.Write(name, testutil::BmpWithBits(width, height, 24, pixels));
    }

    // A 2 x 2 texture of one colour (A, R, G, B).
    void WriteTexture(const std::string& name, std::uint8_t a = 255, std::uint8_t r = 255, std::uint8_t g = 255,
                      std::uint8_t b = 255) const
    {
        std::vector<std::uint8_t> pixels;
        for (int i = 0; i < 4; ++i)
            pixels.insert(pixels.end(), {r, g, b, a});
        root.Write(name, testutil::TgaFile(2, 2, 4, pixels));
    }

    template <class T, class Buffer>
    static std::vector<T> Read(Buffer* buffer, std::size_t count)
    {
        std::vector<T> out(count);
        void* data = nullptr;
        if (buffer && SUCCEEDED(buffer->Lock(0, 0, &data, 0))) {
            std::memcpy(out.data(), data, count * sizeof(T));
            buffer->Unlock();
        }
        return out;
    }
};

// For tests whose scripts drive the global scene (the handlers act on g_Scene): the bindings
// registered, and the scene's threads, placed blocks, order and particle pool dropped afterwards.
class GlobalSceneTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        RegisterScriptBindings();
    }
    void TearDown() override
    {
        g_Scene.runner.threads.clear();
        g_Scene.terrain.instances.clear();
        g_Scene.terrain.order.Clear();
        g_Scene.particles.MaxParticle = 0;
        g_Scene.particles.CreateBuffers();
        g_Scene.particles.bEnabled = false;
        WorldTest::TearDown();
    }
};
