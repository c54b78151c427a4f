#include <algorithm>

#include "platform/seams.h"
#include "world/particles.h"
#include "worldfixture.h"

namespace {

class ParticleTest : public WorldTest {
protected:
    CParticleSystem particles;

    // A particle file whose particles are born still at (1, 2, 3) inside a box reaching to 10,
    // with `keys` leading its section (the first of two keys wins).
    void Load(const std::string& keys)
    {
        root.Write("fx/spark.txt", "[Data]\n" + keys +
                                       "MaxParticle=1\nParticleLife=10\nGenerateRate=1\nGenerateProbability=1\n"
                                       "ParticleSize=2\nColor=FF0000FF\nFadeColor=00000000\nFadeTime=4\n"
                                       "GenerateBox.MinX=1\nGenerateBox.MinY=2\nGenerateBox.MinZ=3\n"
                                       "GenerateBox.MaxX=1\nGenerateBox.MaxY=2\nGenerateBox.MaxZ=3\n"
                                       "BoundingBox.MinX=-10\nBoundingBox.MinY=-10\nBoundingBox.MinZ=-10\n"
                                       "BoundingBox.MaxX=10\nBoundingBox.MaxY=10\nBoundingBox.MaxZ=10\n");
        particles.Load("$\\fx\\spark.txt");
    }
    D3DCOLOR FirstColour() const { return particles.pVertices[0].color; }
};

}  // namespace

// Full colour for ParticleLife ticks, then FadeTime ticks of fading that never reach the fade
// colour, then death on the next tick.
TEST_F(ParticleTest, ParticlesFadeThenDie)
{
    Load("");
    particles.bEnabled = true;
    particles.Update();
    ASSERT_EQ(particles.nLiveCount, 1);
    EXPECT_EQ(particles.pParticles[0].nAge, 0);  // born this tick, not yet stepped
    particles.GenerateRate = 0;
    const D3DCOLOR expected[] = {0xFF0000FF, 0xBF0000BF, 0x7F00007F, 0x3F00003F};
    for (int age = 1; age <= 14; ++age) {
        particles.Update();
        ASSERT_EQ(particles.nLiveCount, 1) << age;
        EXPECT_EQ(FirstColour(), age <= 10 ? 0xFF0000FFu : expected[age - 11]) << age;
    }
    particles.Update();
    EXPECT_EQ(particles.nLiveCount, 0);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Disabled, the pool neither moves, ages nor grows, and nothing is drawn; enabled again it
// goes on as it was.
TEST_F(ParticleTest, DisablingFreezesThePool)
{
    Load("SpeedxBasic=1\n");
    particles.bEnabled = true;
    particles.Update();
    particles.Update();
    ASSERT_EQ(particles.nLiveCount, 1);
    EXPECT_EQ(particles.pVertices[0].position.x, 2.0f);
    particles.bEnabled = false;
    platform::seams::SetDeviceRecording(true);
    platform::seams::RecordedDeviceCalls().clear();
    for (int i = 0; i < 5; ++i) {
        particles.Update();
        particles.Render();
    }
    EXPECT_TRUE(platform::seams::RecordedDeviceCalls().empty());
    platform::seams::SetDeviceRecording(false);
    EXPECT_EQ(particles.pVertices[0].position.x, 2.0f);
    EXPECT_EQ(particles.pParticles[0].nAge, 1);
    particles.bEnabled = true;
    particles.Update();
    EXPECT_EQ(particles.pVertices[0].position.x, 3.0f);
}

// At most 1000 particles; a full pool takes no birth; a new file empties the pool; a file
// asking for none, or no file at all, leaves an enabled system doing nothing.
TEST_F(ParticleTest, PoolLimits)
{
    Load("MaxParticle=1500\nGenerateRate=2000\nParticleLife=100\n");
    EXPECT_EQ(particles.MaxParticle, 1000);
    particles.bEnabled = true;
    particles.Update();
    EXPECT_EQ(particles.nLiveCount, 1000);
    particles.Update();
    EXPECT_EQ(particles.nLiveCount, 1000);
    Load("MaxParticle=3\n");
    EXPECT_EQ(particles.nLiveCount, 0);
    particles.Update();
    EXPECT_EQ(particles.nLiveCount, 1);

    for (const char* keys : {"MaxParticle=0\n", "MaxParticle=-5\n"}) {
        Load(keys);
        particles.Update();
        particles.Render();
        EXPECT_EQ(particles.nLiveCount, 0) << keys;
        EXPECT_EQ(particles.pVertexBuffer, nullptr) << keys;
    }
    CParticleSystem fresh;
    fresh.bEnabled = true;
    fresh.Update();
    fresh.Render();
    EXPECT_EQ(fresh.nLiveCount, 0);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// The point-sprite states the particles need, set before the draw and undone after it, except
// the texture stage's alpha.
TEST_F(ParticleTest, DrawsOnePointListBetweenItsStates)
{
    platform::seams::SetDeviceRecording(true);
    auto& calls = platform::seams::RecordedDeviceCalls();
    calls.clear();
    Load("MaxParticle=4\nGenerateRate=3\n");
    EXPECT_EQ(calls, std::vector<std::string>{"CreateVertexBuffer(64, 0x00000248, 0x00000042, 0)"});
    particles.bEnabled = true;
    particles.Update();
    calls.clear();
    particles.Render();
    platform::seams::SetDeviceRecording(false);
    auto at = [&](const std::string& call) { return std::find(calls.begin(), calls.end(), call) - calls.begin(); };
    const auto draw = at("DrawPrimitive(1, 0, 3)");
    ASSERT_LT(draw, static_cast<long>(calls.size()));
    for (const char* before : {"SetRenderState(137, 0x00000000)", "SetRenderState(156, 0x00000001)",
                               "SetRenderState(157, 0x00000001)", "SetRenderState(154, 0x40000000)",
                               "SetRenderState(155, 0x00000000)", "SetRenderState(158, 0x00000000)",
                               "SetRenderState(159, 0x00000000)", "SetRenderState(160, 0x3F800000)",
                               "SetTextureStageState(0, 5, 0x00000002)", "SetTextureStageState(0, 6, 0x00000000)",
                               "SetTextureStageState(0, 4, 0x00000004)", "SetRenderState(14, 0x00000000)",
                               "SetFVF(0x00000042)", "SetStreamSource(0, buffer, 0, 16)"})
        EXPECT_LT(at(before), draw) << before;
    for (const char* after : {"SetRenderState(137, 0x00000001)", "SetRenderState(156, 0x00000000)",
                              "SetRenderState(157, 0x00000000)", "SetRenderState(14, 0x00000001)"}) {
        EXPECT_GT(at(after), draw) << after;
        EXPECT_LT(at(after), static_cast<long>(calls.size())) << after;
    }
}
