#include <algorithm>

#include "world/particles.h"
#include "world/worldfixture.h"

namespace {

class ParticleTest : public WorldTest {
protected:
    CParticleSystem particles;

    // A particle file whose particles are born still at (1, 2, 3) inside a box reaching to 10,
    // with `keys` leading its section (the first of two keys wins); the system enabled.
    void Load(const std::string& keys)
    {
        if (!device)
            UseDevice(64, 64);
        root.Write("fx/spark.txt", "[Data]\n" + keys +
                                       "MaxParticle=1\nParticleLife=10\nGenerateRate=1\nGenerateProbability=1\n"
                                       "ParticleSize=2\nColor=FF0000FF\nFadeColor=00000000\nFadeTime=4\n"
                                       "GenerateBox.MinX=1\nGenerateBox.MinY=2\nGenerateBox.MinZ=3\n"
                                       "GenerateBox.MaxX=1\nGenerateBox.MaxY=2\nGenerateBox.MaxZ=3\n"
                                       "BoundingBox.MinX=-10\nBoundingBox.MinY=-10\nBoundingBox.MinZ=-10\n"
                                       "BoundingBox.MaxX=10\nBoundingBox.MaxY=10\nBoundingBox.MaxZ=10\n");
        particles.Load("$\\fx\\spark.txt");
        particles.bEnabled = true;
    }
};

}  // namespace

// Full colour for ParticleLife ticks, then FadeTime ticks of fading that never reach the fade
// colour, then death on the next tick.
TEST_F(ParticleTest, ParticlesFadeThenDie)
{
    Load("");
    particles.Update();
    ASSERT_EQ(particles.nLiveCount, 1);
    particles.GenerateRate = 0;
    // Born in the first update and not stepped in it: ages 1 to 10 full, and the first fading
    // tick still full.
    std::vector<D3DCOLOR> seen, expected(11, 0xFF0000FFu);
    expected.insert(expected.end(), {0xBF0000BFu, 0x7F00007Fu, 0x3F00003Fu, 0u});  // the last: no particle
    for (int age = 1; age <= 15; ++age) {
        particles.Update();
        seen.push_back(particles.nLiveCount == 1 ? particles.pVertices[0].color : particles.nLiveCount);
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(Reports(), "");
}

// Disabled, the pool neither moves nor ages.
TEST_F(ParticleTest, DisablingFreezesThePool)
{
    Load("SpeedxBasic=1\n");
    particles.Update();
    particles.Update();
    ASSERT_EQ(particles.nLiveCount, 1);
    particles.bEnabled = false;
    for (int i = 0; i < 5; ++i)
        particles.Update();
    // Born at 1 and stepped once before it was disabled.
    EXPECT_EQ(std::make_pair(particles.pVertices[0].position.x, particles.pParticles[0].nAge), std::make_pair(2.0f, 1));
}

// The keys that decide birth, death by leaving the box and the fade's end are the file's.
TEST_F(ParticleTest, ProbabilityBoxAndFadeColourAreRead)
{
    Load("GenerateProbability=0\n");
    particles.Update();
    EXPECT_EQ(particles.nLiveCount, 0);
    Load("BoundingBox.MaxX=0\n");  // born at x = 1, outside: dies when first stepped
    particles.Update();
    particles.GenerateRate = 0;
    particles.Update();
    EXPECT_EQ(particles.nLiveCount, 0);
    Load("FadeColor=FFFFFFFF\nParticleLife=0\n");
    for (int tick = 0; tick < 3; ++tick)
        particles.Update();
    EXPECT_EQ(particles.pVertices[0].color, 0xFF4040FFu);  // a quarter of the way to white
}

// At most 1000 particles; a full pool takes no birth; a new file empties the pool; a file
// asking for none leaves an enabled system doing nothing.
TEST_F(ParticleTest, PoolLimits)
{
    Load("MaxParticle=1500\nGenerateRate=2000\nParticleLife=100\n");
    for (int tick = 0; tick < 2; ++tick) {
        particles.Update();
        EXPECT_EQ(particles.nLiveCount, 1000) << tick;
    }
    Load("MaxParticle=3\n");
    EXPECT_EQ(particles.nLiveCount, 0);

    for (const char* keys : {"MaxParticle=0\n", "MaxParticle=-5\n"}) {
        Load(keys);
        particles.Update();
        particles.Render();
        EXPECT_EQ(particles.nLiveCount, 0) << keys;
        EXPECT_EQ(particles.pVertexBuffer, nullptr) << keys;
    }
    EXPECT_EQ(Reports(), "");
}

// Set before the draw, the states no drawn pixel of these tests shows: no depth writes, and the
// texture's alpha times the colour's (for the blending the terrain leaves on). Undone after it,
// those the following draws must not inherit.
TEST_F(ParticleTest, DrawSetsAndUndoesItsStates)
{
    Load("MaxParticle=4\nGenerateRate=3\n");
    particles.Update();
    const auto& calls = Record();
    particles.Render();
    auto at = [&](const std::string& call) { return std::find(calls.begin(), calls.end(), call) - calls.begin(); };
    const auto draw = at("DrawPrimitive(1, 0, 3)");
    ASSERT_LT(draw, static_cast<long>(calls.size()));
    for (const char* before : {"SetRenderState(14, 0x00000000)", "SetTextureStageState(0, 5, 0x00000002)",
                               "SetTextureStageState(0, 6, 0x00000000)", "SetTextureStageState(0, 4, 0x00000004)"})
        EXPECT_LT(at(before), draw) << before;
    for (const char* after : {"SetRenderState(137, 0x00000001)", "SetRenderState(156, 0x00000000)",
                              "SetRenderState(157, 0x00000000)", "SetRenderState(14, 0x00000001)"})
        EXPECT_TRUE(at(after) > draw && at(after) < static_cast<long>(calls.size())) << after;
}

// Direct3D 9 sizes a scaled point sprite at viewport height x size x sqrt(1 / (A + B d + C d²)),
// with d its distance from the eye: the particles' A = B = 0 and C = 1 halve it as d doubles.
TEST_F(ParticleTest, PointSpritesShrinkWithDistance)
{
    UseDevice(128, 128);
    Load("ParticleSize=1\nColor=FFFFFFFF\n");
    particles.Update();
    D3DXMATRIX view, projection;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 1.0f, 100.0f);
    g_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
    for (int distance : {8, 16}) {
        D3DXMatrixTranslation(&view, -1, -2, distance - 3.0f);  // the particle straight ahead
        g_pDevice->SetTransform(D3DTS_VIEW, &view);
        testutil::DrawFrame([&] { particles.Render(); });
        const RECT r = testutil::LitRect(0, 0, 128, 128);
        EXPECT_NEAR(r.right - r.left, 128.0 / distance, 1.0) << distance;
        EXPECT_NEAR(r.bottom - r.top, 128.0 / distance, 1.0) << distance;
    }
}
