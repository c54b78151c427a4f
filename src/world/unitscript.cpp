#include "world/unitscript.h"

#include <climits>

#include "foundation/numeric.h"
#include "foundation/objectbase.h"
#include "foundation/stringutil.h"
#include "script/scriptbase.h"
#include "world/formation.h"
#include "world/scene.h"
#include "world/unitdata.h"

namespace {

// A number counted from 1 as an index counted from 0; a value with no int stays out of range.
int FromOneBased(float value)
{
    const int n = TruncToInt(value);
    return n == INT_MIN ? INT_MIN : n - 1;
}

using UnitRotation = void (CUnit::*)(int, float, int, float, float, float);

// The shared form of "Unit.MoveY" and the rotations: mode, value, frames, gain, maxSpeed, maxAccel.
void DriveUnit(TScriptParam* args, UnitRotation operation)
{
    if (CUnit* unit = g_CurrentUnit)
        (unit->*operation)(TruncToInt(args[0].fValue), args[1].fValue, TruncToInt(args[2].fValue), args[3].fValue,
                           args[4].fValue, args[5].fValue);
}

// The slot of the current formation's type that the expression's first argument names, or null.
const TFormationSlot* ArgumentSlot(const float* args, int count)
{
    const CUnitFormation* formation = g_CurrentFormation;
    if (!formation || !formation->pData || count < 1)
        return nullptr;
    const int slot = TruncToInt(args[0]);
    if (slot < 0 || slot >= static_cast<int>(formation->pData->slots.size()))
        return nullptr;
    return &formation->pData->slots[static_cast<std::size_t>(slot)];
}

float SlotValue(const float* args, int count, float TFormationSlot::*field)
{
    const TFormationSlot* slot = ArgumentSlot(args, count);
    return slot ? slot->*field : 0.0f;
}

}  // namespace

void Friend_CreateFormation(TScriptParam* args, int count)
{
    const std::string& name = args[0].strText;
    const std::string& typeName = args[1].strText;
    CFormationData* data = g_UnitDataManager.FindFormationData(typeName);
    if (!data) {
        GlobalError("Cant find Formation Data:" + typeName + "--cant create Formation:" + name);
        return;
    }
    g_Scene.formations.CreateFormation(name, data, TruncToInt(args[2].fValue), args[3].fValue, args[4].fValue);
}

void Friend_TeleportFormation(TScriptParam* args, int count)
{
    g_Scene.formations.TeleportFormation(args[0].strText, args[1].fValue, args[2].fValue);
}

void Friend_MoveFormation(TScriptParam* args, int count)
{
    g_Scene.formations.MoveFormation(args[0].strText, args[1].fValue, args[2].fValue);
}

void Unit_MoveXZ(TScriptParam* args, int count)
{
    if (CUnit* unit = g_CurrentUnit)
        unit->MoveXZ(TruncToInt(args[0].fValue), args[1].fValue, args[2].fValue, TruncToInt(args[3].fValue),
                     args[4].fValue, args[5].fValue, args[6].fValue);
}

void Unit_MoveY(TScriptParam* args, int count) { DriveUnit(args, &CUnit::MoveY); }

void Unit_RotateAroundX(TScriptParam* args, int count) { DriveUnit(args, &CUnit::RotateAroundX); }

void Unit_RotateAroundY(TScriptParam* args, int count) { DriveUnit(args, &CUnit::RotateAroundY); }

void Unit_RotateAroundZ(TScriptParam* args, int count) { DriveUnit(args, &CUnit::RotateAroundZ); }

// The position is in the unit's model space, taken through the matrix of its last update; the
// velocity is in world space.
void Unit_EmitAnim(TScriptParam* args, int count)
{
    CUnit* unit = g_CurrentUnit;
    if (!unit)
        return;
    const int index = FromOneBased(args[0].fValue);
    const D3DXVECTOR3 model(args[1].fValue, args[2].fValue, args[3].fValue);
    D3DXVECTOR3 pos;
    D3DXVec3TransformCoord(&pos, &model, &unit->matWorld);
    const D3DXVECTOR3 velocity(args[4].fValue, args[5].fValue, args[6].fValue);
    const int animCount = unit->pData ? static_cast<int>(unit->pData->anims.size()) : 0;
    if (index < 0 || index >= animCount) {
        GlobalReport("Cant Create Anim:out of bounds:" + IntToString(index));
        return;
    }
    g_Scene.animations.Emit(unit->pData->anims[static_cast<std::size_t>(index)], pos, velocity);
}

void Formation_RandomizeUnitPosition(TScriptParam* args, int count)
{
    if (CUnitFormation* formation = g_CurrentFormation)
        formation->MoveUnitSmall(FromOneBased(args[0].fValue));
}

void Formation_MoveUnit(TScriptParam* args, int count)
{
    if (CUnitFormation* formation = g_CurrentFormation)
        formation->MoveUnit(TruncToInt(args[0].fValue), args[1].fValue, args[2].fValue);
}

float GetUnitPosx() { return g_CurrentUnit ? g_CurrentUnit->mover.vCurrent.x : 0.0f; }

void SetUnitPosx(float value)
{
    if (CUnit* unit = g_CurrentUnit)
        unit->mover.SetCurrent(value, unit->mover.vCurrent.y);
}

float GetUnitPosy() { return g_CurrentUnit ? g_CurrentUnit->posY.Get() : 0.0f; }

void SetUnitPosy(float value)
{
    if (CUnit* unit = g_CurrentUnit)
        unit->posY.Set(value);
}

float GetUnitPosz() { return g_CurrentUnit ? g_CurrentUnit->mover.vCurrent.y : 0.0f; }

void SetUnitPosz(float value)
{
    if (CUnit* unit = g_CurrentUnit)
        unit->mover.SetCurrent(unit->mover.vCurrent.x, value);
}

float GetUnitAngleXY() { return g_CurrentUnit ? g_CurrentUnit->angleZ.Get() : 0.0f; }

void SetUnitAngleXY(float value)
{
    if (CUnit* unit = g_CurrentUnit)
        unit->angleZ.Set(value);
}

float GetUnitAngleXZ() { return g_CurrentUnit ? g_CurrentUnit->angleY.Get() : 0.0f; }

void SetUnitAngleXZ(float value)
{
    if (CUnit* unit = g_CurrentUnit)
        unit->angleY.Set(value);
}

float GetUnitAngleYZ() { return g_CurrentUnit ? g_CurrentUnit->angleX.Get() : 0.0f; }

void SetUnitAngleYZ(float value)
{
    if (CUnit* unit = g_CurrentUnit)
        unit->angleX.Set(value);
}

float GetUnitMaxSpeed() { return g_CurrentUnit && g_CurrentUnit->pData ? g_CurrentUnit->pData->speed : 0.0f; }

float GetUnitCurrentSpeedx() { return g_CurrentUnit ? g_CurrentUnit->mover.vVelocity.x : 0.0f; }

float GetUnitCurrentSpeedy() { return g_CurrentUnit ? g_CurrentUnit->posY.fVelocity : 0.0f; }

float GetUnitCurrentSpeedz() { return g_CurrentUnit ? g_CurrentUnit->mover.vVelocity.y : 0.0f; }

float GetUnitAutoFire() { return g_CurrentUnit && g_CurrentUnit->bAutoFire ? 1.0f : 0.0f; }

void SetUnitAutoFire(float value)
{
    if (CUnit* unit = g_CurrentUnit)
        unit->bAutoFire = value != 0.0f;
}

float GetUnitAllowCommand() { return g_CurrentUnit && g_CurrentUnit->bAllowCommand ? 1.0f : 0.0f; }

void SetUnitAllowCommand(float value)
{
    if (CUnit* unit = g_CurrentUnit)
        unit->bAllowCommand = value != 0.0f;
}

float GetFormationPosx() { return g_CurrentFormation ? g_CurrentFormation->x : 0.0f; }

void SetFormationPosx(float value)
{
    if (CUnitFormation* formation = g_CurrentFormation)
        formation->x = value;
}

float GetFormationPosz() { return g_CurrentFormation ? g_CurrentFormation->z : 0.0f; }

void SetFormationPosz(float value)
{
    if (CUnitFormation* formation = g_CurrentFormation)
        formation->z = value;
}

float GetFormationMaxUnit()
{
    const CUnitFormation* formation = g_CurrentFormation;
    return formation && formation->pData ? static_cast<float>(formation->pData->nMaxUnit) : 0.0f;
}

float FormationUnitOffsetX(const float* args, int count) { return SlotValue(args, count, &TFormationSlot::offsetx); }

float FormationUnitOffsetZ(const float* args, int count) { return SlotValue(args, count, &TFormationSlot::offsetz); }

float FormationUnitRandomOffsetX(const float* args, int count)
{
    return SlotValue(args, count, &TFormationSlot::randomoffsetx);
}

float FormationUnitRandomOffsetZ(const float* args, int count)
{
    return SlotValue(args, count, &TFormationSlot::randomoffsetz);
}
