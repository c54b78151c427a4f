#include "foundation/debuglink.h"
#include "world/worldfixture.h"

using UnitEmitTest = unittest::UnitFixture;

// An emission starts at a point of the unit's model, turned about y, then x, then z, scaled and
// moved as the unit was drawn in the tick before; a number outside the type's animations is
// reported on the link only.
TEST_F(UnitEmitTest, EmitsFromModelSpaceIntoTheWorldAndReportsOutOfBounds)
{
    testutil::LinkListener listener;
    ASSERT_LISTENING_OR_SKIP(listener);
    g_pDebugLink = new CDebugLink(nullptr);
    g_pDebugLink->Connect();
    Make("[main]\n"
         "Unit.MoveXZ(0,10,20,0,0,0,0)\nUnit.MoveY(0,8,0,0,0,0)\n"
         "Unit.RotateAroudY(0,1.5707964,0,0,0,0)\nUnit.RotateAroudX(0,1.5707964,0,0,0,0)\n"
         "wait(1)\n"
         "Unit.EmitAnim(1,1,0,0,0.5,0,0)\nUnit.EmitAnim(0,0,0,0,0,0,0)\nUnit.EmitAnim(2,0,0,0,0,0,0)\n");
    Tick(2);
    const std::string expected = "Cant Create Anim:out of bounds:-1Cant Create Anim:out of bounds:1";
    const std::string received = listener.Receive(expected.size());
    delete g_pDebugLink;
    g_pDebugLink = nullptr;

    EXPECT_EQ(received.substr(received.size() - std::min(received.size(), expected.size())), expected);
    ASSERT_EQ(spark->pGroup->nActive, 1);
    const TAnim& anim = spark->pGroup->pool[0];
    // (1, 0, 0) turned to (0, 0, -1) about y, to (0, 1, 0) about x, scaled by 2, moved to (10, 8, 20).
    EXPECT_NEAR(anim.vPos.x, 10.0f, 1e-4f);
    EXPECT_NEAR(anim.vPos.y, 10.0f, 1e-4f);
    EXPECT_NEAR(anim.vPos.z, 20.0f, 1e-4f);
    EXPECT_EQ(anim.vVelocity, D3DXVECTOR3(0.5f, 0, 0));
    EXPECT_EQ(Texts(), std::vector<std::string>{});
}
