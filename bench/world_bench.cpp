// A tick and a frame of the scene's world: a full pool of 1,000 particles over a scrolling
// terrain of 16 blocks at the finest level of detail, each beside its peer measured in the same
// run: the same particle arithmetic as a plain loop over plain arrays, and an empty frame on the
// same software renderer.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/device.h"
#include "foundation/geometry.h"
#include "foundation/stringutil.h"
#include "support/testdevice.h"
#include "world/heightblock.h"
#include "world/scene.h"
#include "worldfiles.h"

namespace {

using benchfiles::HillsBmp;
using benchfiles::Tga;

void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The world's files in a scratch folder, removed when the benchmark ends.
struct WorldFiles {
    std::filesystem::path root;

    WorldFiles()
    {
        char pattern[] = "/tmp/worldbench-XXXXXX";
        root = mkdtemp(pattern);
        WriteFile(root / "hills.bmp", HillsBmp());
        WriteFile(root / "ground.tga", Tga(90, 140, 60, 255));
        WriteFile(root / "flake.tga", Tga(255, 255, 255, 200));
        // 16 blocks 40 deep fill the window from -40 to 600; the strip scrolls by 1 a tick.
        WriteFile(root / "terrain.txt",
                  "[data]\nglobalwidthx=200\nglobalwidthz=40\nglobalmaxheight=90\nLOD=0\nviewboardermin=-40\n"
                  "viewboardermax=600\nheight=-30\nspeed=1\nBlockDataDir=" + root.string() + "\n"
                  "[blocklist]\nname1=A\nheight1=hills.bmp\ntexture1=ground.tga\n[order]\nA\n");
        // Particles that never die: the pool stays full.
        WriteFile(root / "snow.txt", "[Data]\nMaxParticle=1000\nParticleLife=100000000\nGenerateRate=8\nFadeTime=50\n"
                                     "ParticleSize=2\nGenerateProbability=1\nBoundingBox.MinX=-1e9\nBoundingBox.MinY=-1e9\n"
                                     "BoundingBox.MinZ=-1e9\nBoundingBox.MaxX=1e9\nBoundingBox.MaxY=1e9\n"
                                     "BoundingBox.MaxZ=1e9\nGenerateBox.MinX=-100\nGenerateBox.MinY=20\n"
                                     "GenerateBox.MaxX=100\nGenerateBox.MaxY=80\nGenerateBox.MaxZ=400\n"
                                     "SpeedyBasic=-0.01\nSpeedxVariet=0.02\nSpeedyVariet=0.01\nSpeedzVariet=0.02\n"
                                     "Color=FFFFFFFF\nFadeColor=00FFFFFF\nTexture=flake.tga\n");
        WriteFile(root / "scene.txt", "[main]\nwait(100000000)\n");
    }
    ~WorldFiles() { std::filesystem::remove_all(root); }
};

// Presented frames are read back, so that each frame's time is the time to finish drawing it
// (without a read-back nothing waits for the renderer).
IDirect3DDevice9* MakeDevice() { return testutil::MakeTestDevice(640, 480); }

// A light from above (the scene's camera gives the view).
void SetLight(IDirect3DDevice9* device)
{
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0.3f, -1.0f, 0.5f};
    device->SetLight(0, &light);
}

// A started scene with the terrain scrolling and the pool full, on `device` (blocks without one
// have no mesh).
struct World {
    WorldFiles files;
    CScene scene;

    explicit World(IDirect3DDevice9* device)
    {
        g_pDevice = device;
        SetRootFolder(files.root.string());
        scene.Start((files.root / "scene.txt").string(), "main");
        scene.terrain.Load((files.root / "terrain.txt").string());
        scene.terrain.Start();
        scene.particles.Load((files.root / "snow.txt").string());
        scene.particles.bEnabled = true;
        while (scene.particles.nLiveCount < scene.particles.MaxParticle)
            scene.Update();
    }
    ~World()
    {
        scene.runner.threads.clear();
        scene.terrain.instances.clear();
        g_HeightBlockManager.Clear();
        g_pDevice = nullptr;
    }
};

void BM_SceneTick(benchmark::State& state)
{
    IDirect3DDevice9* device = MakeDevice();
    {
        World world(device);
        for (auto _ : state)
            world.scene.Update();
        state.counters["particles"] = world.scene.particles.nLiveCount;
        state.counters["blocks"] = static_cast<double>(world.scene.terrain.instances.size());
    }
    if (device)
        device->Release();
}
BENCHMARK(BM_SceneTick)->Unit(benchmark::kMicrosecond);

// The peer: a particle's step and death test, on plain arrays, for 1,000 particles.
void BM_PlainParticleLoop(benchmark::State& state)
{
    constexpr int n = 1000;
    struct P {
        D3DXVECTOR3 position, velocity, accelerate;
        int age = 0;
        D3DCOLOR color = 0;
    };
    std::vector<P> p(n);
    for (int i = 0; i < n; ++i) {
        p[i].position = D3DXVECTOR3(i * 0.1f, 50, i * 0.3f);
        p[i].velocity = D3DXVECTOR3(0.01f, -0.01f, 0.02f);
        p[i].accelerate = D3DXVECTOR3(0, -0.0001f, 0);
    }
    const TBoundingBox box(D3DXVECTOR3(-1e9f, -1e9f, -1e9f), D3DXVECTOR3(1e9f, 1e9f, 1e9f));
    const int life = 100000000, fade = 50;
    const D3DCOLOR start = 0xFFFFFFFF;
    int dead = 0;
    for (auto _ : state) {
        for (P& q : p) {
            q.position += q.velocity;
            q.velocity += q.accelerate;
            ++q.age;
            const int t = q.age - life;
            q.color = t >= 1 && t <= fade ? 0 : start;
            dead += q.age > life + fade || !box.Contains(&q.position);
        }
        benchmark::DoNotOptimize(p.data());
    }
    benchmark::DoNotOptimize(dead);
}
BENCHMARK(BM_PlainParticleLoop)->Unit(benchmark::kMicrosecond);

void BM_SceneFrame(benchmark::State& state)
{
    IDirect3DDevice9* device = MakeDevice();
    if (!device) {
        state.SkipWithError("no device");
        return;
    }
    {
        World world(device);
        for (auto _ : state) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
            device->BeginScene();
            SetLight(device);
            world.scene.Render();
            device->EndScene();
            device->Present(nullptr, nullptr, nullptr, nullptr);
        }
        state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    }
    device->Release();
}
BENCHMARK(BM_SceneFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peer: an empty frame (clear, present and its read-back) on the same renderer.
void BM_EmptyFrame(benchmark::State& state)
{
    IDirect3DDevice9* device = MakeDevice();
    if (!device) {
        state.SkipWithError("no device");
        return;
    }
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    device->Release();
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
