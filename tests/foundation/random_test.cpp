#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/colors.h"
#include "foundation/geometry.h"
#include "foundation/random.h"

TEST(Random, GeneratorSequenceIsFixed)
{
    RandomRestart();
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (int want : expected)
        EXPECT_EQ(RandomDraw(), want);

    RandomRestart();
    EXPECT_EQ(RandomRange(0.0f, 1.0f), 0.0041f);
    // 18467 % 10000 = 8467.
    EXPECT_EQ(RandomRange(10.0f, 20.0f), 10.0f + 10.0f * static_cast<float>(0.8467));
}

TEST(Random, RangeAroundAndChance)
{
    RandomRestart();
    // An empty or reversed range gives min and draws nothing.
    EXPECT_EQ(RandomRange(5.0f, 5.0f), 5.0f);
    EXPECT_EQ(RandomRange(5.0f, 1.0f), 5.0f);
    // 41 % 20000 - 10000 = -9959.
    EXPECT_EQ(RandomAround(10.0f, 2.0f), 10.0f + 2.0f * static_cast<float>(-0.9959));
    // A spread of 0 gives the base but still draws.
    EXPECT_EQ(RandomAround(3.0f, 0.0f), 3.0f);
    EXPECT_EQ(RandomDraw(), 6334);

    RandomRestart();
    EXPECT_TRUE(RandomChance(0.5f));   // 41 <= 10000
    EXPECT_FALSE(RandomChance(0.5f));  // 18467 > 10000
    for (int i = 0; i < 2000; ++i) {
        EXPECT_TRUE(RandomChance(1.0f));
        EXPECT_FALSE(RandomChance(-0.1f));
    }

    for (int i = 0; i < 2000; ++i) {
        const float r = RandomRange(-1.0f, 1.0f);
        EXPECT_GE(r, -1.0f);
        EXPECT_LT(r, 1.0f);
        const float a = RandomAround(100.0f, 10.0f);
        EXPECT_GE(a, 90.0f);
        EXPECT_LT(a, 110.0f);
    }
}

TEST(Random, ComponentsAreDrawnXThenYThenZ)
{
    RandomRestart();
    const float lo[3] = {0, 0, 0}, hi[3] = {1, 10, 100};
    float out[3];
    RandomInBox(out, lo, hi);
    EXPECT_EQ(out[0], 0.0041f);
    EXPECT_EQ(out[1], 10.0f * static_cast<float>(0.8467));
    EXPECT_EQ(out[2], 100.0f * static_cast<float>(0.6334));

    RandomRestart();
    const float base[3] = {0, 0, 0}, spread[3] = {1, 1, 1};
    RandomAround3(out, base, spread);
    EXPECT_EQ(out[0], static_cast<float>(-0.9959));
    EXPECT_EQ(out[1], static_cast<float>(0.8467));
    EXPECT_EQ(out[2], static_cast<float>(-0.3666));
}

TEST(Random, ExpressionFunctions)
{
    const float points[4] = {0, 0, 3, 4};
    EXPECT_EQ(ExprDistance(points, 4), 5.0f);
    const float back[4] = {3, 4, 0, 0};
    EXPECT_EQ(ExprDistance(back, 4), 5.0f);

    RandomRestart();
    const float range[2] = {0, 1};
    EXPECT_EQ(ExprRandom(range, 2), 0.0041f);
    const float around[2] = {10, 2};
    EXPECT_EQ(ExprRandomB(around, 2), 10.0f + 2.0f * static_cast<float>(0.8467));

    // Arguments missing from the call count as 0 and are never read.
    const float one[1] = {5};
    RandomRestart();
    EXPECT_EQ(ExprRandom(one, 1), 5.0f);
    EXPECT_EQ(RandomDraw(), 41);
    const float two[2] = {3, 4};
    EXPECT_EQ(ExprDistance(two, 2), 5.0f);
}

TEST(Geometry, LengthsBitsAndBoxes)
{
    EXPECT_EQ(Length3D(2, 3, 6), 7.0f);
    EXPECT_EQ(FloatAsDword(-2.0f), 0xC0000000u);

    const float big = std::numeric_limits<float>::max();
    TBoundingBox all;
    EXPECT_EQ(all.vMin.x, -big);
    EXPECT_EQ(all.vMax.z, big);
    const D3DXVECTOR3 corner(big, -big, 0), anywhere(1e30f, -5, 3);
    EXPECT_TRUE(all.Contains(&corner));
    EXPECT_TRUE(all.Contains(&anywhere));
    EXPECT_FALSE(all.Contains(nullptr));

    const D3DXVECTOR3 point(1, 2, 3);
    TBoundingBox tight(point, point);
    EXPECT_TRUE(tight.Contains(&point));
    const D3DXVECTOR3 nearby(1, 2, std::nextafter(3.0f, 4.0f));
    EXPECT_FALSE(tight.Contains(&nearby));
}

TEST(Geometry, DirectionalLights)
{
    const D3DXVECTOR3 dir(0, -1, 0), pos(1, 2, 3);
    const D3DXCOLOR color(1.0f, 0.5f, 0.25f, 1.0f);

    const D3DLIGHT9 light = BuildDirectionalLight(&dir, &color);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(D3DXCOLOR(light.Diffuse), color);
    EXPECT_EQ(D3DXCOLOR(light.Specular), color * 0.6f);
    EXPECT_EQ(D3DXCOLOR(light.Ambient), color * 0.6f);
    EXPECT_EQ(D3DXVECTOR3(light.Direction), dir);
    EXPECT_EQ(D3DXVECTOR3(light.Position), D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(light.Range, 0.0f);

    const D3DLIGHT9 at = BuildDirectionalLightAt(&pos, &dir, &color);
    EXPECT_EQ(at.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(D3DXCOLOR(at.Specular), color * 0.6f);
    EXPECT_EQ(D3DXCOLOR(at.Ambient), color * 0.4f);
    EXPECT_EQ(D3DXVECTOR3(at.Position), pos);
    EXPECT_EQ(D3DXVECTOR3(at.Direction), dir);
}

TEST(Colors, ConstantsUnpackEachByteOver255)
{
    const float unit = 1.0f / 255.0f;
    EXPECT_EQ(COLOR_BLACK, D3DXCOLOR(0, 0, 0, 255 * unit));
    EXPECT_EQ(COLOR_GREY, D3DXCOLOR(128 * unit, 128 * unit, 128 * unit, 255 * unit));
    EXPECT_EQ(COLOR_WHITE.r, 1.0f);
    const D3DCOLOR packed[] = {D3DCOLOR(COLOR_WHITE), D3DCOLOR(COLOR_BLACK), D3DCOLOR(COLOR_RED),
                               D3DCOLOR(COLOR_GREEN), D3DCOLOR(COLOR_BLUE), D3DCOLOR(COLOR_YELLOW),
                               D3DCOLOR(COLOR_GREY)};
    const D3DCOLOR want[] = {0xFFFFFFFF, 0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF808080};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(packed[i], want[i]) << i;
}
