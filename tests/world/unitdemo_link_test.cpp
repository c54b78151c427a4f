#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/seams.h"
#include "support/bundledrun.h"
#include "world/scene.h"

namespace {

using platform::seams::Frame;

// Pixels right of the menu's buttons and above its status line that are not the cleared black:
// with no terrain yet, only units and their animations light them.
int LitPixels(const Frame& f)
{
    int n = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 200; x < f.width; ++x) {
            const std::uint8_t* p = &f.bgra[(static_cast<std::size_t>(y) * f.width + x) * 4];
            n += p[0] + p[1] + p[2] > 60;
        }
    return n;
}

struct TUnitState {
    D3DXVECTOR2 pos;
    float height, turn;
};

std::vector<TUnitState> Units()
{
    std::vector<TUnitState> out;
    for (const CUnitFormation& f : g_Scene.formations.formations)
        for (const CUnit& u : f.units)
            if (u.bAlive)
                out.push_back({u.mover.vCurrent, u.posY.Get(), u.angleY.Get() + u.angleX.Get()});
    return out;
}

}  // namespace

// The bundled menu's Start button brings in two formations of units under their own scripts:
// they are drawn, they move, bob and turn, they throw their animations, and no data file reports
// a fault.
TEST(UnitDemo, StartShowsFormationsMovingUnderTheirScripts)
{
    testutil::BundledRun run;
    int clickedAt = -1;
    int mostAnims = 0;
    Frame early, late;
    std::vector<TUnitState> before, after;
    EXPECT_EQ(run.Run([&](int frames) {
        if (TAnimData* spark = g_Scene.animations.FindAnimData("spark"))
            mostAnims = std::max(mostAnims, spark->pGroup->nActive);
        if (clickedAt < 0 && frames >= 10) {
            platform::seams::InjectMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(320, 170));
            clickedAt = frames;
        } else if (clickedAt >= 0 && early.width == 0 && frames >= clickedAt + 150) {
            early = platform::seams::LastPresentedFrame();
            before = Units();
        } else if (early.width > 0 && frames >= clickedAt + 400) {
            late = platform::seams::LastPresentedFrame();
            after = Units();
            PostQuitMessage(0);
        }
    }), 0);
    for (const auto& b : run.Boxes())
        ADD_FAILURE() << "box: " << b.caption << " / " << b.text;

    ASSERT_EQ(g_Scene.formations.formations.size(), 2u);
    ASSERT_EQ(before.size(), 9u);
    ASSERT_EQ(after.size(), 9u);
    int moved = 0, bobbed = 0, turned = 0;
    for (std::size_t i = 0; i < after.size(); ++i) {
        moved += after[i].pos != before[i].pos;
        bobbed += after[i].height != before[i].height;
        turned += after[i].turn != before[i].turn;
    }
    EXPECT_GE(moved, 5);  // a scout that got there first stands until its next order
    EXPECT_GT(bobbed, 0);
    EXPECT_GT(turned, 0);
    EXPECT_GT(mostAnims, 0);
    EXPECT_GT(LitPixels(early), 1000);
    EXPECT_GT(LitPixels(late), 1000);
}
