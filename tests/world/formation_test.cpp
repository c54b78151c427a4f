#include "world/worldfixture.h"

using FormationTest = unittest::UnitFixture;
using unittest::Log;

namespace {

int Alive(const CUnitFormation* f)
{
    int n = 0;
    for (const CUnit& unit : f->units)
        n += unit.bAlive;
    return n;
}

}  // namespace

TEST_F(FormationTest, CreateTruncatesTheCountAndFindsNamesInAnyCase)
{
    Make("[main]\n", "[main]\n", 5, 0);
    RunScene({"Friend.CreateFormation(\"A\",\"f\",2.9,1,2)", "Friend.CreateFormation(\"B\",\"F\",neg(1.5),3,4)",
              "Friend.CreateFormation(\"C\",\"f\",neg(2),0,0)", "Friend.CreateFormation(\"D\",\"f\",10,0,0)",
              "Friend.CreateFormation(\"E\",\"nothing\",1,0,0)"});
    FormationManager& list = g_Scene.formations;
    ASSERT_EQ(list.formations.size(), 5u);
    EXPECT_EQ(Alive(list.FindFormation("a")), 2);
    EXPECT_EQ(Alive(list.FindFormation("b")), 5);
    EXPECT_EQ(Alive(list.FindFormation("c")), 0);
    EXPECT_EQ(Alive(list.FindFormation("D")), 5);
    EXPECT_EQ(Texts(), std::vector<std::string>{"global|Cant find Formation Data:nothing--cant create Formation:e"});

    // Moving orders the formation's "OnMove" (here missing) and leaves its position; a teleport
    // moves it and puts its units in their slots at once.
    CUnitFormation* b = list.FindFormation("B");
    RunScene({"Friend.MoveFormation(\"b\",50,60)", "Friend.TeleportFormation(\"B\",10,20)",
              "Friend.TeleportFormation(\"nobody\",0,0)"});
    EXPECT_EQ(b->x, 10.0f);
    EXPECT_EQ(b->z, 20.0f);
    EXPECT_EQ(b->units[4].mover.vCurrent, D3DXVECTOR2(15, 15));
    EXPECT_EQ(Texts().size(), 2u);  // the missing "OnMove"
}

TEST_F(FormationTest, FormationNamesActOnTheCurrentFormation)
{
    CUnitFormation* f = Make("[main]\n",
                             "[main]\n"
                             "Test.Log(FormationMaxUnit,FormationUnitOffsetX(1.9),FormationUnitOffsetZ(1),"
                             "FormationUnitRandomOffsetX(1),FormationUnitRandomOffsetZ(1),FormationUnitOffsetX(5),"
                             "FormationUnitOffsetZ(neg(1)))\n"
                             "Formation.MoveUnit(3,0,0)\n"
                             "Formation.MoveUnit(5,0,0)\n"
                             "Formation.RandomizeUnitPosition(2)\n"
                             "Formation.RandomizeUnitPosition(3)\n"
                             "FormationPosx := 7\n",
                             5, 2);
    Tick();
    EXPECT_EQ(Log(), std::vector<std::string>{"5 2 -2 0 0 0 0"});
    EXPECT_EQ(f->x, 7.0f);
    // Unit 2 (from 1) is unit 1 (from 0), sent to its own slot by the default move; the dead
    // units 2 and 3 (from 0) are left alone without a word.
    EXPECT_EQ(f->units[1].mover.vTarget, D3DXVECTOR2(102, 198));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Formation|FormationMoveUnit Index\xB3\xAC\xB3\xF6",
                                                 "global|\xD5\xD2\xB2\xBB\xB5\xBD\xBD\xC5\xB1\xBE:OnSmallMove"}));
}

// The formation's "OnMove" orders its own formation again: the running thread is ended and the
// new one runs in the same update.
TEST_F(FormationTest, AnOnMoveThatRestartsItselfIsSafe)
{
    Make("[main]\n",
         "[main]\n[OnMove]\nTest.Log(input0)\nif(input0 < 3)\nFriend.MoveFormation(\"f\",input0+1,0)\nend\n"
         "Test.Log(input0+100)\n");
    g_Scene.formations.MoveFormation("f", 0, 0);
    Tick(2);
    EXPECT_EQ(Log(), (std::vector<std::string>{"0", "1", "2", "3", "103"}));
    EXPECT_TRUE(g_Scene.formations.formations.front().runner.threads.empty());
}

TEST_F(FormationTest, TheSceneReachesTheLastUnitUntilItsFormationGoes)
{
    CUnitFormation* f = Make("[main]\n", "[main]\n", 2);
    Tick();
    RunScene({"Unit.MoveXZ(0,9,8,0,0,0,0)", "Unit.RotateAroudY(0,1,0,0,0,0)", "Unit.EmitAnim(1,0,0,0,0,0,0)"});
    EXPECT_EQ(f->units[1].mover.vCurrent, D3DXVECTOR2(9, 8));
    EXPECT_EQ(f->units[1].angleY.Get(), 1.0f);
    EXPECT_EQ(spark->pGroup->nActive, 1);

    g_Scene.formations.formations.clear();
    EXPECT_EQ(g_CurrentUnit, nullptr);
    EXPECT_EQ(g_CurrentFormation, nullptr);
    RunScene({"Unit.MoveXZ(0,1,1,0,0,0,0)", "UnitPosx := 3", "Unit.EmitAnim(1,0,0,0,0,0,0)",
              "Formation.MoveUnit(0,0,0)", "FormationPosx := 1",
              "Test.Log(UnitPosx,FormationPosx,FormationMaxUnit,FormationUnitOffsetX(0))"});
    EXPECT_EQ(Log(), std::vector<std::string>{"0 0 0 0"});
    EXPECT_EQ(spark->pGroup->nActive, 1);
}
