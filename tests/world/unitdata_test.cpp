#include "world/worldfixture.h"

using UnitDataTest = unittest::UnitFixture;

TEST_F(UnitDataTest, TypesKeepTheirFirstDefinitionAndReportWhatTheyCannotFind)
{
    root.Write("units/ua.txt",
               "[Tank]\nfullname=Heavy\narmor=4\nspeed=2\nRadiusy=3\nobjscale=1.5\nanim1=SPARK\nanim2=ghost\n"
               "anim3=spark\nscript=tank.txt\n[Bare]\n");
    root.Write("units/ub.txt", "[tank]\nspeed=9\n");
    root.Write("units/tank.txt", "[main]\nwait(1)\n[OnMove]\n");
    root.Write("units/f.txt",
               "[Line]\nunit1=TANK\noffsetx1=3\noffsetz1=4\nrandomoffsetx1=1\nrandomoffsetz1=2\nunit2=bare\n"
               "offsetx3=9\n[Broken]\nunit1=tank\nunit2=ghost\nunit3=tank\n");
    EXPECT_TRUE(g_UnitDataManager.LoadUnits("$\\units", "u*.txt"));
    EXPECT_EQ(g_CurrentFolder, root.WindowsPath() + "\\units");
    EXPECT_TRUE(g_UnitDataManager.LoadFormations("$\\units", "f.txt"));

    CUnitData* tank = g_UnitDataManager.FindUnitData("TANK");
    ASSERT_NE(tank, nullptr);
    EXPECT_EQ(tank->name, "Tank");
    EXPECT_EQ(tank->fullname, "Heavy");
    EXPECT_EQ(tank->speed, 2.0f);
    EXPECT_EQ(tank->armor, 4.0f);
    EXPECT_EQ(tank->Radiusy, 3.0f);
    EXPECT_EQ(tank->objscale, 1.5f);
    EXPECT_EQ(tank->anims, std::vector<TAnimData*>{spark});
    EXPECT_EQ(tank->scripts.Count(), 2);
    EXPECT_EQ(g_UnitDataManager.FindUnitData("bare")->objscale, 0.0f);
    EXPECT_EQ(g_UnitDataManager.units.Count(), 2);

    CFormationData* line = g_UnitDataManager.FindFormationData("line");
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->nMaxUnit, 2);
    EXPECT_EQ(line->slots[0].pUnitData, tank);
    EXPECT_EQ(line->slots[0].offsetx, 3.0f);
    EXPECT_EQ(line->slots[0].offsetz, 4.0f);
    EXPECT_EQ(line->slots[0].randomoffsetx, 1.0f);
    EXPECT_EQ(line->slots[0].randomoffsetz, 2.0f);
    EXPECT_EQ(g_UnitDataManager.FindFormationData("Broken")->nMaxUnit, 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"|Tank:Cant Find AnimationData:ghost",
                                                 "|Formation Data:Cant Find Unit:ghost"}));
}
