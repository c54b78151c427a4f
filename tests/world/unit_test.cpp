#include "world/worldfixture.h"

using UnitTest = unittest::UnitFixture;
using unittest::Pose;

TEST_F(UnitTest, MovesAndTurnsByModeOverTheirFrames)
{
    CUnitFormation* f = Make("[main]\nTest.Log(input0,input1,UnitPosx,UnitPosy,UnitPosz)\n"
                             "Unit.MoveXZ(1,10,20,4,0,0,0)\nUnit.MoveY(1,8,4,0,0,0)\nUnit.RotateAroudX(1,0.4,4,0,0,0)\n"
                             "Unit.RotateAroudY(0,0.5,0,0,0,0)\nUnit.RotateAroudZ(2,1,10,0.5,0.1,0.05)\n"
                             "Unit.MoveY(3,99,1,0,0,0)\nUnit.MoveXZ(neg(1),99,99,1,0,0,0)\n");
    Tick();
    // The script got the slot position; the unit stood at the origin until its script moved it.
    EXPECT_EQ(g_Log, std::vector<std::string>{"101 199 0 0 0"});
    EXPECT_EQ(Pose(f->units[0]), "2.5 5 2 0.1 0.5 0.05");
    Tick(3);
    EXPECT_EQ(Pose(f->units[0]), "10 20 8 0.4 0.5 0.35");  // about z accelerating by 0.05 up to 0.1 a tick
    EXPECT_EQ(f->units[0].nFrame, 4);
    EXPECT_EQ(Reports(), "");
}

TEST_F(UnitTest, OrdersRestartTheirScriptOrFallBackToTheDefaultMove)
{
    CUnitFormation* f = Make("[main]\n[OnMove]\nTest.Log(input0,input1)\nwait(100)\nTest.Log(999)\n");
    f->MoveUnit(0, 1, 2);
    Tick();
    f->MoveUnit(0, 3, 4);
    Tick(2);
    EXPECT_EQ(g_Log, (std::vector<std::string>{"1 2", "3 4"}));

    // No "OnSmallMove": reported, and the unit glides to its slot by itself at its type's speed:
    // mode, target, frames, gain, speed and acceleration.
    f->MoveUnitSmall(0);
    const CInterpolator2D& m = f->units[0].mover;
    EXPECT_EQ(Join({float(m.nMode), m.vTarget.x, m.vTarget.y, float(m.nFrames), m.fFactor, m.fMaxSpeed, m.fMaxAccel}),
              "2 101 199 1000 0.3 2 0.1");
    EXPECT_EQ(Reports(), "global|找不到脚本:OnSmallMove\n");
}

// A point set after a linear move has shown its last frame stays where it was set.
TEST_F(UnitTest, APointSetAfterAFinishedLinearMoveSticks)
{
    Make("[main]\nUnit.MoveXZ(1,10,0,2,0,0,0)\nwait(2)\nUnitPosx := 50\nwait(1)\n"
         "Test.Log(UnitPosx,UnitPosz)\nUnit.MoveXZ(0,neg(5),6,0,0,0,0)\nwait(1)\n"
         "Test.Log(UnitPosx,UnitPosz)\n");
    Tick(5);
    EXPECT_EQ(g_Log, (std::vector<std::string>{"50 0", "-5 6"}));
}

TEST_F(UnitTest, VariablesReadAndWriteTheCurrentUnit)
{
    CUnitFormation* f = Make("[main]\n"
                             "Test.Log(UnitAutoFire,UnitAllowCommand,UnitMaxSpeed,FormationPosx,FormationMaxUnit)\n"
                             "UnitPosy := 3\nUnitAngleXY := 0.1\nUnitAngleXZ := 0.2\nUnitAngleYZ := 0.3\n"
                             "UnitMaxSpeed := 7\nUnitCurrentSpeedx := 7\nUnitAutoFire := 0\nUnitAllowCommand := 0\n"
                             "Test.Log(UnitPosy,UnitAngleXY,UnitAngleXZ,UnitAngleYZ,UnitMaxSpeed,UnitAutoFire)\n"
                             "UnitAutoFire := 5\nFormationPosx := 8\n"
                             "Unit.MoveXZ(1,4,8,4,0,0,0)\nUnit.MoveY(1,7,4,0,0,0)\nwait(1)\n"
                             "Test.Log(UnitAutoFire,UnitAllowCommand,UnitCurrentSpeedx,UnitCurrentSpeedy,"
                             "UnitCurrentSpeedz,FormationPosx)\n",
                             "[main]\n", 2);
    Tick(2);
    // Each unit's script acts on itself, and the second sees the formation position the first wrote.
    EXPECT_EQ(g_Log, (std::vector<std::string>{"1 1 2 100 2", "3 0.1 0.2 0.3 2 0", "1 1 2 8 2",
                                               "3 0.1 0.2 0.3 2 0", "1 0 1 1 2 8", "1 0 1 1 2 8"}));
    // "XY" is the angle about z, "XZ" about y, "YZ" about x.
    EXPECT_EQ(Pose(f->units[0]).substr(Pose(f->units[0]).rfind(" 0.3 ")), " 0.3 0.2 0.1");
}
