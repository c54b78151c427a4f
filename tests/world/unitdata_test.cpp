#include <tuple>

#include "foundation/inifile.h"

#include "world/worldfixture.h"

using UnitDataTest = unittest::UnitFixture;

TEST_F(UnitDataTest, TypesKeepTheirFirstDefinitionAndReportWhatTheyCannotFind)
{
    root.Write("units/ua.txt", "[Tank]\nfullname=Heavy\narmor=4\nspeed=2\nRadiusy=3\nobjscale=1.5\nanim1=SPARK\n"
                               "anim2=ghost\nanim3=spark\nscript=tank.txt\n[Bare]\n");
    root.Write("units/ub.txt", "[tank]\nspeed=9\n");
    root.Write("units/tank.txt", "[main]\nwait(1)\n[OnMove]\n");
    root.Write("units/f.txt", "[Line]\nunit1=TANK\noffsetx1=3\noffsetz1=4\nrandomoffsetx1=1\nrandomoffsetz1=2\n"
                              "unit2=bare\noffsetx3=9\n[Broken]\nunit1=tank\nunit2=ghost\nunit3=tank\n");
    EXPECT_TRUE(g_UnitDataManager.LoadUnits("$\\units", "u*.txt"));
    EXPECT_TRUE(g_UnitDataManager.LoadFormations("$\\units", "f.txt"));

    CUnitData* tank = g_UnitDataManager.FindUnitData("TANK");
    ASSERT_NE(tank, nullptr);
    const CUnitData& t = *tank;
    EXPECT_EQ(std::tie(t.name, t.fullname, t.speed, t.armor, t.Radiusy, t.objscale, t.anims),
              std::make_tuple("Tank", "Heavy", 2.0f, 4.0f, 3.0f, 1.5f, std::vector<TAnimData*>{spark}));
    EXPECT_EQ(g_UnitDataManager.units.Count(), 2);

    CFormationData* line = g_UnitDataManager.FindFormationData("line");
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->nMaxUnit, 2);
    const TFormationSlot& s = line->slots[0];
    EXPECT_EQ(std::tie(s.pUnitData, s.offsetx, s.offsetz, s.randomoffsetx, s.randomoffsetz),
              std::make_tuple(tank, 3.0f, 4.0f, 1.0f, 2.0f));
    EXPECT_EQ(g_UnitDataManager.FindFormationData("Broken")->nMaxUnit, 1);
    EXPECT_EQ(Reports(), "|Tank:Cant Find AnimationData:ghost\n|Formation Data:Cant Find Unit:ghost\n");
}

// Type names are found in any case past the first block of the list, the first type of a name
// kept, and a list emptied and filled again is searched as it now stands.
TEST_F(UnitDataTest, TypesAreFoundByNameAsTheListGrowsAndIsEmptied)
{
    std::string types = "[Tank]\nspeed=1\n";
    for (int i = 0; i < 30; ++i) types += "[t" + std::to_string(i) + "]\n";
    root.Write("units/a.txt", types + "[TANK]\nspeed=2\n");
    root.Write("units/b.txt", "[t29]\nspeed=3\n[tank]\nspeed=4\n");
    g_UnitDataManager.LoadUnits("$\\units", "a.txt");
    CUnitData* tank = g_UnitDataManager.FindUnitData("tAnK");
    EXPECT_EQ(tank, g_UnitDataManager.units.Get(0));
    EXPECT_EQ(g_UnitDataManager.FindUnitData("T29"), g_UnitDataManager.units.Get(30));
    CIniFile none("");
    EXPECT_EQ(g_UnitDataManager.AddUnitData(none, "TANK"), tank);
    EXPECT_EQ(g_UnitDataManager.units.Count(), 31);

    g_UnitDataManager.units.Clear();
    g_UnitDataManager.LoadUnits("$\\units", "b.txt");
    ASSERT_NE(g_UnitDataManager.FindUnitData("TANK"), nullptr);
    EXPECT_EQ(g_UnitDataManager.FindUnitData("TANK")->speed, 4.0f);
    EXPECT_EQ(g_UnitDataManager.FindUnitData("t0"), nullptr);
}
