#include "world/worldfixture.h"

using UnitEmitTest = unittest::UnitFixture;

// An emission starts at a point of the unit's model, turned about y, then x, then z, scaled and
// moved as the unit was drawn in the tick before; a number outside the type's animations is
// reported on the link only.
TEST_F(UnitEmitTest, EmitsFromModelSpaceIntoTheWorldAndReportsOutOfBounds)
{
    testutil::LinkListener listener;
    ASSERT_LISTENING_OR_SKIP(listener);
    testutil::GlobalDebugLink link;
    Make("[main]\nUnit.MoveXZ(0,10,20,0,0,0,0)\nUnit.MoveY(0,8,0,0,0,0)\nUnit.RotateAroudY(0,1.5707964,0,0,0,0)\n"
         "Unit.RotateAroudX(0,1.5707964,0,0,0,0)\nwait(1)\n"
         "Unit.EmitAnim(1,1,0,0,0.5,0,0)\nUnit.EmitAnim(0,0,0,0,0,0,0)\nUnit.EmitAnim(2,0,0,0,0,0,0)\n");
    Tick(2);
    const std::string expected = "Cant Create Anim:out of bounds:-1Cant Create Anim:out of bounds:1";
    const std::string received = listener.Receive(expected.size());
    EXPECT_TRUE(received.ends_with(expected)) << received;
    ASSERT_EQ(spark->pGroup->nActive, 1);
    // (1, 0, 0) turned to (0, 0, -1) about y, to (0, 1, 0) about x, scaled by 2, moved to (10, 8,
    // 20); then its velocity.
    const TAnim& a = spark->pGroup->pool[0];
    EXPECT_EQ(Join({a.vPos.x, a.vPos.y, a.vPos.z, a.vVelocity.x, a.vVelocity.y, a.vVelocity.z}),
              "10 10 20 0.5 0 0");
    EXPECT_EQ(Reports(), "");
}
