// The scene's update of 500 units in 50 formations: every unit runs a script that moves, turns
// and waits, and one formation a tick is ordered to move, which its "OnMove" script hands on to
// its ten units. Beside it, the peer: a plain loop over 500 units stepping the same movers and
// building the same world matrices, with no scripts.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bindings/bindings.h"
#include "foundation/interpolator.h"
#include "foundation/random.h"
#include "foundation/stringlist.h"
#include "world/scene.h"
#include "world/unitdata.h"

namespace {

constexpr int kFormations = 50;
constexpr int kUnitsPerFormation = 10;

CStringList Lines(std::initializer_list<const char*> lines)
{
    CStringList out;
    for (const char* l : lines)
        out.Add(l);
    return out;
}

CFormationData* MakeTypes()
{
    CUnitData* unit = g_UnitDataManager.units.AddNew();
    unit->name = "walker";
    unit->speed = 0.5f;
    unit->objscale = 2.0f;
    unit->scripts.AddScript(Lines({"->loop",
                                   "Unit.MoveXZ(2,input0+Random(neg(4),4),input1+Random(neg(4),4),100,0.05,"
                                   "UnitMaxSpeed,0.02)",
                                   "Unit.RotateAroudY(1,UnitAngleXZ+0.5,20,0,0,0)",
                                   "Unit.MoveY(2,Random(0,2),40,0.1,0.05,0.01)",
                                   "wait(Random(10,30))",
                                   "goto(loop)"}),
                            "main");
    unit->scripts.AddScript(Lines({"Unit.MoveXZ(1,input0,input1,60,0,0,0)", "Unit.RotateAroudZ(1,0.2,30,0,0,0)",
                                   "wait(60)", "Unit.RotateAroudZ(1,0,30,0,0,0)"}),
                            "OnMove");

    CFormationData* formation = g_UnitDataManager.formations.AddNew();
    formation->name = "squad";
    for (int i = 0; i < kUnitsPerFormation; ++i) {
        TFormationSlot slot;
        slot.pUnitData = unit;
        slot.offsetx = static_cast<float>(i % 5) * 4.0f;
        slot.offsetz = static_cast<float>(i / 5) * 4.0f;
        slot.randomoffsetx = slot.randomoffsetz = 1.0f;
        formation->slots.push_back(slot);
    }
    formation->nMaxUnit = kUnitsPerFormation;
    formation->scripts.AddScript(Lines({"wait(1)"}), "main");
    formation->scripts.AddScript(Lines({"i := 0",
                                        "while(i < FormationMaxUnit)",
                                        "Formation.MoveUnit(i,input0+FormationUnitOffsetX(i),"
                                        "input1+FormationUnitOffsetZ(i))",
                                        "i := i+1",
                                        "end",
                                        "FormationPosx := input0",
                                        "FormationPosz := input1"}),
                                 "OnMove");
    return formation;
}

void BM_SceneUpdate500Units(benchmark::State& state)
{
    RegisterScriptBindings();
    CFormationData* type = MakeTypes();
    std::vector<CUnitFormation*> formations;
    for (int i = 0; i < kFormations; ++i)
        formations.push_back(g_Scene.formations.CreateFormation("squad" + std::to_string(i), type, -1,
                                                                 static_cast<float>(i % 10) * 30.0f,
                                                                 static_cast<float>(i / 10) * 30.0f));
    g_Scene.Activate();
    int tick = 0;
    auto order = [&] {
        CUnitFormation* f = formations[static_cast<std::size_t>(tick % kFormations)];
        f->OnMove(f->x + RandomRange(-10.0f, 10.0f), f->z + RandomRange(-10.0f, 10.0f));
        ++tick;
    };
    for (int i = 0; i < 200; ++i) {  // every thread in its loop, every formation ordered
        order();
        g_Scene.Update();
    }
    for (auto _ : state) {
        order();
        g_Scene.Update();
    }
    state.counters["ns_per_unit"] = benchmark::Counter(static_cast<double>(state.iterations()) * kFormations *
                                                           kUnitsPerFormation,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    g_Scene.formations.formations.clear();
}
BENCHMARK(BM_SceneUpdate500Units)->Unit(benchmark::kMicrosecond);

// What a unit's update does besides its scripts, for 500 units whose movers are all moving.
struct TPlainUnit {
    CInterpolator2D mover;
    CInterpolatorFloat posY, angleY, angleZ, angleX;
    CInterpolatorColor colour;
    D3DXMATRIX matWorld;
};

void BM_PlainLoop500Units(benchmark::State& state)
{
    std::vector<TPlainUnit> units(kFormations * kUnitsPerFormation);
    for (TPlainUnit& u : units) {
        u.mover.StartSmooth(0, 0, RandomRange(-50, 50), RandomRange(-50, 50), 100, 0.05f, 0.5f, 0.02f);
        u.posY.StartSmooth(0, 2, 40, 0.1f, 0.05f, 0.01f);
        u.angleY.StartLinear(0, 1, 20);
        u.angleZ.StartLinear(0, 0.2f, 30);
        u.angleX.Set(0);
        u.colour.Set(D3DXCOLOR(1, 1, 0, 1));
    }
    for (auto _ : state) {
        for (TPlainUnit& u : units) {
            u.mover.Update();
            u.posY.Update();
            u.angleZ.Update();
            u.angleY.Update();
            u.angleX.Update();
            u.colour.Update();
            D3DXMATRIX rotY, rotX, rotZ, scale, move;
            D3DXMatrixRotationY(&rotY, u.angleY.Get());
            D3DXMatrixRotationX(&rotX, u.angleX.Get());
            D3DXMatrixRotationZ(&rotZ, u.angleZ.Get());
            D3DXMatrixScaling(&scale, 2, 2, 2);
            D3DXMatrixTranslation(&move, u.mover.vCurrent.x, u.posY.Get(), u.mover.vCurrent.y);
            D3DXMatrixMultiply(&u.matWorld, &rotY, &rotX);
            D3DXMatrixMultiply(&u.matWorld, &u.matWorld, &rotZ);
            D3DXMatrixMultiply(&u.matWorld, &u.matWorld, &scale);
            D3DXMatrixMultiply(&u.matWorld, &u.matWorld, &move);
        }
        benchmark::DoNotOptimize(units.data());
    }
}
BENCHMARK(BM_PlainLoop500Units)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
