#include <cmath>

#include "world/worldfixture.h"

using UnitTest = unittest::UnitFixture;
using unittest::Log;

TEST_F(UnitTest, MovesAndTurnsByModeOverTheirFrames)
{
    CUnitFormation* f = Make("[main]\n"
                             "Test.Log(input0,input1,UnitPosx,UnitPosy,UnitPosz)\n"
                             "Unit.MoveXZ(1,10,20,4,0,0,0)\n"
                             "Unit.MoveY(1,8,4,0,0,0)\n"
                             "Unit.RotateAroudX(1,0.4,4,0,0,0)\n"
                             "Unit.RotateAroudY(0,0.5,0,0,0,0)\n"
                             "Unit.RotateAroudZ(2,1,10,0.5,0.1,0.05)\n"
                             "Unit.MoveY(3,99,1,0,0,0)\n"
                             "Unit.MoveXZ(neg(1),99,99,1,0,0,0)\n");
    CUnit& unit = f->units[0];
    Tick();
    // The script got the slot position; the unit stood at the origin until its script moved it.
    EXPECT_EQ(Log(), std::vector<std::string>{"101 199 0 0 0"});
    EXPECT_EQ(unit.mover.vCurrent, D3DXVECTOR2(2.5f, 5.0f));
    EXPECT_FLOAT_EQ(unit.posY.Get(), 2.0f);
    EXPECT_FLOAT_EQ(unit.angleX.Get(), 0.1f);
    EXPECT_FLOAT_EQ(unit.angleY.Get(), 0.5f);
    EXPECT_FLOAT_EQ(unit.angleZ.Get(), 0.05f);
    Tick(3);
    EXPECT_EQ(unit.mover.vCurrent, D3DXVECTOR2(10.0f, 20.0f));
    EXPECT_FLOAT_EQ(unit.posY.Get(), 8.0f);
    EXPECT_FLOAT_EQ(unit.angleX.Get(), 0.4f);
    EXPECT_FLOAT_EQ(unit.angleY.Get(), 0.5f);
    EXPECT_FLOAT_EQ(unit.angleZ.Get(), 0.35f);  // accelerating by 0.05 up to 0.1 a tick
    EXPECT_EQ(unit.nFrame, 4);
    EXPECT_EQ(Texts(), std::vector<std::string>{});
}

TEST_F(UnitTest, OrdersRestartTheirScriptOrFallBackToTheDefaultMove)
{
    CUnitFormation* f = Make("[main]\n[OnMove]\nTest.Log(input0,input1)\nwait(100)\nTest.Log(999)\n");
    f->MoveUnit(0, 1, 2);
    Tick();
    f->MoveUnit(0, 3, 4);
    Tick(2);
    EXPECT_EQ(Log(), (std::vector<std::string>{"1 2", "3 4"}));
    EXPECT_EQ(f->units[0].runner.threads.size(), 1u);

    // No "OnSmallMove": reported, and the unit glides there by itself at its type's speed.
    f->MoveUnitSmall(0);
    const CInterpolator2D& mover = f->units[0].mover;
    EXPECT_EQ(mover.nMode, IM_SMOOTH);
    EXPECT_EQ(mover.vTarget, D3DXVECTOR2(101, 199));
    EXPECT_EQ(mover.nFrames, 1000);
    EXPECT_FLOAT_EQ(mover.fFactor, 0.3f);
    EXPECT_FLOAT_EQ(mover.fMaxSpeed, 2.0f);
    EXPECT_FLOAT_EQ(mover.fMaxAccel, 0.1f);
    EXPECT_EQ(Texts(), std::vector<std::string>{"global|\xD5\xD2\xB2\xBB\xB5\xBD\xBD\xC5\xB1\xBE:OnSmallMove"});
}

// A point set after a linear move has shown its last frame stays where it was set.
TEST_F(UnitTest, APointSetAfterAFinishedLinearMoveSticks)
{
    CUnitFormation* f = Make("[main]\n"
                             "Unit.MoveXZ(1,10,0,2,0,0,0)\n"
                             "wait(2)\n"
                             "UnitPosx := 50\n"
                             "wait(1)\n"
                             "Test.Log(UnitPosx,UnitPosz)\n"
                             "Unit.MoveXZ(0,neg(5),6,0,0,0,0)\n"
                             "wait(1)\n"
                             "Test.Log(UnitPosx,UnitPosz)\n");
    Tick(5);
    EXPECT_EQ(Log(), (std::vector<std::string>{"50 0", "-5 6"}));
    f->Teleport(300, 400);
    Tick(2);
    EXPECT_EQ(f->units[0].mover.vCurrent, D3DXVECTOR2(301, 399));
}

TEST_F(UnitTest, VariablesReadAndWriteTheCurrentUnit)
{
    CUnitFormation* f = Make("[main]\n"
                             "Test.Log(UnitAutoFire,UnitAllowCommand,UnitMaxSpeed,FormationPosx,FormationMaxUnit)\n"
                             "UnitPosy := 3\nUnitAngleXY := 0.1\nUnitAngleXZ := 0.2\nUnitAngleYZ := 0.3\n"
                             "UnitMaxSpeed := 7\nUnitCurrentSpeedx := 7\n"
                             "UnitAutoFire := 0\nUnitAllowCommand := 0\n"
                             "Test.Log(UnitPosy,UnitAngleXY,UnitAngleXZ,UnitAngleYZ,UnitMaxSpeed,UnitAutoFire)\n"
                             "UnitAutoFire := 5\nFormationPosx := 8\n"
                             "Unit.MoveXZ(1,4,8,4,0,0,0)\nUnit.MoveY(1,7,4,0,0,0)\nwait(1)\n"
                             "Test.Log(UnitAutoFire,UnitAllowCommand,UnitCurrentSpeedx,UnitCurrentSpeedy,"
                             "UnitCurrentSpeedz,FormationPosx)\n",
                             "[main]\n", 2);
    Tick(2);
    // Each unit's script acts on itself, and the second sees the formation position the first wrote.
    EXPECT_EQ(Log(), (std::vector<std::string>{"1 1 2 100 2", "3 0.1 0.2 0.3 2 0", "1 1 2 8 2",
                                                "3 0.1 0.2 0.3 2 0", "1 0 1 1 2 8", "1 0 1 1 2 8"}));
    EXPECT_EQ(f->units[0].angleZ.Get(), 0.1f);
    EXPECT_EQ(f->units[0].angleY.Get(), 0.2f);
    EXPECT_EQ(f->units[0].angleX.Get(), 0.3f);
}
