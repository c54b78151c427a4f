#include "world/worldfixture.h"

using FormationTest = unittest::UnitFixture;

TEST_F(FormationTest, CreateTruncatesTheCountAndFindsNamesInAnyCase)
{
    Make("[main]\n", "[main]\n", 5, 0);
    StartScene("[main]\nFriend.CreateFormation(\"A\",\"f\",2.9,1,2)\nFriend.CreateFormation(\"B\",\"F\",neg(1.5),3,4)\n"
             "Friend.CreateFormation(\"C\",\"f\",neg(2),0,0)\nFriend.CreateFormation(\"D\",\"f\",10,0,0)\n"
             "Friend.CreateFormation(\"E\",\"nothing\",1,0,0)\n", 1);
    FormationManager& list = g_Scene.formations;
    ASSERT_EQ(list.formations.size(), 5u);
    std::vector<int> alive;
    for (const char* name : {"a", "b", "c", "D"})
        alive.push_back(static_cast<int>(std::count_if(list.FindFormation(name)->units.begin(),
                                                       list.FindFormation(name)->units.end(),
                                                       [](const CUnit& u) { return u.bAlive; })));
    EXPECT_EQ(alive, (std::vector<int>{2, 5, 0, 5}));
    EXPECT_EQ(Reports(), "global|Cant find Formation Data:nothing--cant create Formation:e\n");

    // Moving orders the formation's "OnMove" (here missing) and leaves its position; a teleport
    // moves it and puts its units in their slots at once.
    boxes.Clear();
    CUnitFormation* b = list.FindFormation("B");
    StartScene("[main]\nFriend.MoveFormation(\"b\",50,60)\nFriend.TeleportFormation(\"B\",10,20)\n"
             "Friend.TeleportFormation(\"nobody\",0,0)\n", 1);
    EXPECT_EQ(Join({b->x, b->z, b->units[4].mover.vCurrent.x, b->units[4].mover.vCurrent.y}), "10 20 15 15");
    EXPECT_EQ(Reports(), "global|找不到脚本:OnMove\n");
}

TEST_F(FormationTest, FormationNamesActOnTheCurrentFormation)
{
    CUnitFormation* f = Make("[main]\n",
                             "[main]\nTest.Log(FormationMaxUnit,FormationUnitOffsetX(1.9),FormationUnitOffsetZ(1),"
                             "FormationUnitRandomOffsetX(1),FormationUnitRandomOffsetZ(1),FormationUnitOffsetX(5),"
                             "FormationUnitOffsetZ(neg(1)))\nFormation.MoveUnit(3,0,0)\nFormation.MoveUnit(5,0,0)\n"
                             "Formation.RandomizeUnitPosition(2)\nFormation.RandomizeUnitPosition(3)\n",
                             5, 2);
    Tick();
    EXPECT_EQ(g_Log, std::vector<std::string>{"5 2 -2 0 0 0 0"});
    // Unit 2 (from 1) is unit 1 (from 0), sent to its own slot by the default move; the dead
    // units 2 and 3 (from 0) are left alone without a word.
    EXPECT_EQ(f->units[1].mover.vTarget, D3DXVECTOR2(102, 198));
    EXPECT_EQ(Reports(), "Formation|FormationMoveUnit Index超出\nglobal|找不到脚本:OnSmallMove\n");
}

// The formation's "OnMove" orders its own formation again: the running thread is ended and the
// new one runs in the same update.
TEST_F(FormationTest, AnOnMoveThatRestartsItselfIsSafe)
{
    Make("[main]\n", "[main]\n[OnMove]\nTest.Log(input0)\nif(input0 < 3)\nFriend.MoveFormation(\"f\",input0+1,0)\nend\n"
                     "Test.Log(input0+100)\n");
    g_Scene.formations.MoveFormation("f", 0, 0);
    Tick(2);
    EXPECT_EQ(g_Log, (std::vector<std::string>{"0", "1", "2", "3", "103"}));
}

TEST_F(FormationTest, TheSceneReachesTheLastUnitUntilItsFormationGoes)
{
    CUnitFormation* f = Make("[main]\n", "[main]\n", 2);
    Tick();
    StartScene("[main]\nUnit.MoveXZ(0,9,8,0,0,0,0)\nUnit.RotateAroudY(0,1,0,0,0,0)\nUnit.EmitAnim(1,0,0,0,0,0,0)\n", 1);
    EXPECT_EQ(unittest::Pose(f->units[1]), "9 8 0 0 1 0");
    EXPECT_EQ(spark->pGroup->nActive, 1);

    g_Scene.formations.formations.clear();
    EXPECT_EQ(std::make_pair(g_CurrentUnit, g_CurrentFormation), (std::pair<CUnit*, CUnitFormation*>{}));
    StartScene("[main]\nUnit.MoveXZ(0,1,1,0,0,0,0)\nUnitPosx := 3\nUnit.EmitAnim(1,0,0,0,0,0,0)\n"
               "Formation.MoveUnit(0,0,0)\nFormationPosx := 1\n"
               "Test.Log(UnitPosx,FormationPosx,FormationMaxUnit,FormationUnitOffsetX(0))\n",
               1);
    EXPECT_EQ(g_Log, std::vector<std::string>{"0 0 0 0"});
    EXPECT_EQ(spark->pGroup->nActive, 1);
}

// A formation whose "main" creates one of its own type before any wait: each new one runs in
// the pass that created it, so the chain stops only at the bound. The refusal is reported once
// and the scripts go on. A type too large for the units left is refused the same way, and
// refusals after the first are not reported again.
TEST_F(FormationTest, CreationStopsAtTheScenesBounds)
{
    Make("[main]\n", "[main]\nFriend.CreateFormation(\"f\",\"F\",1,0,0)\nTest.Log(1)\n", 1, 0);
    Tick(2);
    EXPECT_EQ(g_Scene.formations.formations.size(), FormationManager::kMostFormations);
    EXPECT_EQ(g_Log.size(), FormationManager::kMostFormations);
    EXPECT_EQ(Reports(), "global|warning:the scene holds its most formations (10000) or units (100000)--cant create "
                         "Formation:f\n");

    g_Scene.formations.formations.clear();
    g_Log.clear();
    boxes.Clear();
    CFormationData big;
    big.nMaxUnit = 30000;
    big.slots.resize(30000);
    big.scripts.AddScript(CStringList(), "main");
    for (int i = 0; i < 5; ++i)
        g_Log.push_back(g_Scene.formations.CreateFormation("big", &big, -2, 0, 0) ? "made" : "refused");
    EXPECT_EQ(g_Log, (std::vector<std::string>{"made", "made", "made", "refused", "refused"}));
    EXPECT_EQ(Reports(), "global|warning:the scene holds its most formations (10000) or units (100000)--cant create "
                         "Formation:big\n");
    g_Scene.formations.formations.clear();
}

// What ordinary scripts do stays well inside the bounds: 1,000 formations a tick for ten ticks.
TEST_F(FormationTest, ThousandsOfFormationsAreMadeWithoutAWord)
{
    Make("[main]\nwait(100000)\n", "[main]\nwait(100000)\n", 2);
    g_Scene.formations.formations.clear();
    StartScene("[main]\nwhile(1)\ni := 0\nwhile(i < 1000)\nFriend.CreateFormation(\"g\",\"f\",-1,i,0)\ni := i+1\nend\n"
               "wait(1)\nend\n", 10);
    EXPECT_EQ(g_Scene.formations.formations.size(), 10000u);
    EXPECT_EQ(g_Scene.formations.formations.back().units[1].bAlive, true);
    EXPECT_EQ(Reports(), "");
}
