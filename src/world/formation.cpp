#include "world/formation.h"

#include <algorithm>

#include "foundation/namedlist.h"
#include "foundation/random.h"
#include "foundation/stringutil.h"
#include "world/unitdata.h"

CUnitFormation* g_CurrentFormation = nullptr;

namespace {

const std::string kMain = "main";
const std::string kOnMove = "OnMove";

}  // namespace

CUnitFormation::CUnitFormation() { strClassName = "Formation"; }

CUnitFormation::~CUnitFormation()
{
    if (g_CurrentFormation == this)
        g_CurrentFormation = nullptr;
    ForgetRunner(runner);
}

void CUnitFormation::Start(const std::string& formationName, CFormationData* data, float posX, float posZ)
{
    name = formationName;
    pData = data;
    x = posX;
    z = posZ;
    units.resize(data ? static_cast<std::size_t>(data->nMaxUnit) : 0);
    runner.pLibrary = data ? &data->scripts : nullptr;
    runner.StartThread(kMain, kMain);
}

void CUnitFormation::SlotPosition(int slot, float& outX, float& outZ) const
{
    const TFormationSlot& s = pData->slots[static_cast<std::size_t>(slot)];
    outX = s.offsetx + x + RandomAround(0.0f, s.randomoffsetx);
    outZ = s.offsetz + z + RandomAround(0.0f, s.randomoffsetz);
}

void CUnitFormation::PlaceUnit(int slot)
{
    if (!HasUnit(slot) || units[static_cast<std::size_t>(slot)].bAlive)
        return;
    float posX, posZ;
    SlotPosition(slot, posX, posZ);
    units[static_cast<std::size_t>(slot)].Start(this, pData->slots[static_cast<std::size_t>(slot)].pUnitData, posX,
                                                posZ);
}

// The formation's threads run before its units', and its units' threads see it as current.
void CUnitFormation::Update()
{
    g_CurrentFormation = this;
    runner.Update();
    for (CUnit& unit : units)
        unit.Update();
}

void CUnitFormation::Render()
{
    for (CUnit& unit : units)
        unit.Render();
}

void CUnitFormation::OnMove(float toX, float toZ)
{
    runner.StopThread(kOnMove);
    const float inputs[2] = {toX, toZ};
    runner.StartThread(kOnMove, kOnMove, inputs, 2);
}

void CUnitFormation::Teleport(float toX, float toZ)
{
    x = toX;
    z = toZ;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (!units[i].bAlive)
            continue;
        float posX, posZ;
        SlotPosition(static_cast<int>(i), posX, posZ);
        units[i].MoveXZ(IM_NONE, posX, posZ, 0, 0.0f, 0.0f, 0.0f);
    }
}

void CUnitFormation::MoveUnit(int index, float toX, float toZ)
{
    if (!HasUnit(index)) {
        Error("FormationMoveUnit Index超出");
        return;
    }
    CUnit& unit = units[static_cast<std::size_t>(index)];
    if (unit.bAlive)
        unit.OnMove(toX, toZ);
}

void CUnitFormation::MoveUnitSmall(int index)
{
    if (!HasUnit(index) || !units[static_cast<std::size_t>(index)].bAlive)
        return;
    float posX, posZ;
    SlotPosition(index, posX, posZ);
    units[static_cast<std::size_t>(index)].OnSmallMove(posX, posZ);
}

void CUnitFormation::SetUnitsHeight(int mode, float height, int frames, float gain, float maxSpeed, float maxAccel)
{
    y = height;
    for (CUnit& unit : units)
        if (unit.bAlive)
            unit.MoveY(mode, height, frames, gain, maxSpeed, maxAccel);
}

// The count is kept as formations are created and taken afresh when the list was changed some
// other way (emptied, or swapped with another), which also makes the next refusal reported.
bool FormationManager::HasRoomFor(const CFormationData* data)
{
    if (formations.size() != nCountedFormations) {
        bFullReported = false;
        nCountedUnits = 0;
        for (const CUnitFormation& formation : formations)
            nCountedUnits += formation.units.size();
        nCountedFormations = formations.size();
    }
    const std::size_t units = data && data->nMaxUnit > 0 ? static_cast<std::size_t>(data->nMaxUnit) : 0;
    return formations.size() < kMostFormations && units <= kMostUnits - nCountedUnits;
}

CUnitFormation* FormationManager::CreateFormation(const std::string& name, CFormationData* data, int count, float x,
                                                  float z)
{
    if (!HasRoomFor(data)) {
        if (!bFullReported)
            GlobalError("warning:the scene holds its most formations (" + IntToString(int(kMostFormations)) +
                        ") or units (" + IntToString(int(kMostUnits)) + ")--cant create Formation:" + ToLower(name));
        bFullReported = true;
        return nullptr;
    }
    CUnitFormation& formation = formations.emplace_back();
    formation.Start(ToLower(name), data, x, z);
    nCountedUnits += formation.units.size();
    nCountedFormations = formations.size();
    // Slots past the type's are skipped, so a huge count costs no more than every slot.
    const int slots = static_cast<int>(formation.units.size());
    const int placed = count == -1 ? slots : std::min(count, slots);
    for (int slot = 0; slot < placed; ++slot)
        formation.PlaceUnit(slot);
    return &formation;
}

CUnitFormation* FormationManager::AddFormation(const std::string& name, CFormationData* data)
{
    return CreateFormation(name, data, 0, 0.0f, 0.0f);
}

CUnitFormation* FormationManager::FindFormation(const std::string& name)
{
    for (CUnitFormation& formation : formations)
        if (SameName(formation.name, name))
            return &formation;
    return nullptr;
}

void FormationManager::MoveFormation(const std::string& name, float x, float z)
{
    if (CUnitFormation* formation = FindFormation(name))
        formation->OnMove(x, z);
}

void FormationManager::TeleportFormation(const std::string& name, float x, float z)
{
    if (CUnitFormation* formation = FindFormation(name))
        formation->Teleport(x, z);
}

void FormationManager::UpdateAll()
{
    for (CUnitFormation& formation : formations)
        formation.Update();
}

void FormationManager::RenderAll()
{
    for (CUnitFormation& formation : formations)
        formation.Render();
}
