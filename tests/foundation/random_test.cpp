#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "foundation/geometry.h"
#include "foundation/random.h"

// The sequence is fixed; each function takes exactly one draw, except an empty range, which
// takes none.
TEST(Random, TheSequenceIsFixedAndWhichCallsDrawInWhatOrder)
{
    RandomRestart();
    EXPECT_EQ((std::vector{RandomDraw(), RandomDraw(), RandomDraw(), RandomDraw()}),
              (std::vector{41, 18467, 6334, 26500}));
    RandomRestart();
    EXPECT_EQ(RandomRange(5.0f, 1.0f), 5.0f);
    EXPECT_EQ(RandomAround(3.0f, 0.0f), 3.0f);  // draws 41
    EXPECT_EQ(RandomRange(0.0f, 1.0f), 0.8467f);
    const float lo[3] = {0, 0, 0}, hi[3] = {1, 10, 100};
    float out[3];
    RandomInBox(out, lo, hi);
    EXPECT_EQ((std::vector<float>(out, out + 3)), (std::vector{0.6334f, 10.0f * 0.65f, 100.0f * 0.9169f}));

    // Arguments missing from the call count as 0 and are never read.
    RandomRestart();
    const float one[1] = {5}, two[2] = {3, 4};
    EXPECT_EQ(ExprRandom(one, 1), 5.0f);
    EXPECT_EQ(ExprDistance(two, 2), 5.0f);
    // 41 % 20000 - 10000 = -9959.
    EXPECT_EQ(ExprRandomB(two, 2), 3.0f + 4.0f * static_cast<float>(-0.9959));
}

TEST(Random, ChanceIsCertainFromOneAndImpossibleBelowZero)
{
    RandomRestart();
    EXPECT_EQ((std::pair{RandomChance(0.5f), RandomChance(0.5f)}), (std::pair{true, false}));  // 41, then 18467
    for (int i = 0; i < 2000; ++i) {
        EXPECT_TRUE(RandomChance(1.0f));
        EXPECT_FALSE(RandomChance(-0.1f));
    }
}

TEST(Geometry, TheDefaultBoxHoldsEveryPointAndBoundsAreIncluded)
{
    const float big = std::numeric_limits<float>::max();
    TBoundingBox all;
    const D3DXVECTOR3 corner(big, -big, 0);
    EXPECT_TRUE(all.Contains(&corner));
    EXPECT_FALSE(all.Contains(nullptr));

    const D3DXVECTOR3 point(1, 2, 3), nearby(1, 2, std::nextafter(3.0f, 4.0f));
    TBoundingBox tight(point, point);
    EXPECT_TRUE(tight.Contains(&point));
    EXPECT_FALSE(tight.Contains(&nearby));
}

TEST(Geometry, ALightPlacedAtAPointHasTheWeakerAmbient)
{
    const D3DXVECTOR3 dir(0, -1, 0), pos(1, 2, 3);
    const D3DXCOLOR color(1.0f, 0.5f, 0.25f, 1.0f);
    EXPECT_EQ(D3DXCOLOR(BuildDirectionalLight(&dir, &color).Ambient), color * 0.6f);
    const D3DLIGHT9 at = BuildDirectionalLightAt(&pos, &dir, &color);
    EXPECT_EQ(D3DXCOLOR(at.Specular), color * 0.6f);
    EXPECT_EQ(D3DXCOLOR(at.Ambient), color * 0.4f);
    EXPECT_EQ(D3DXVECTOR3(at.Position), pos);
}
