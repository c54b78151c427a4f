// The script-visible names of units and formations. The "Friend." functions act on the scene's
// formations and name theirs; the "Unit." functions and "Unit…" variables act on g_CurrentUnit,
// the "Formation." functions, "Formation…" variables and "FormationUnit…" expression functions on
// g_CurrentFormation. With no current unit or formation they do nothing and read 0. The bindings
// register each under its name and signature.
#pragma once

struct TScriptParam;

// "Friend.CreateFormation" ("ssvvv"), "Friend.TeleportFormation" and "Friend.MoveFormation" ("svv").
void Friend_CreateFormation(TScriptParam* args, int count);
void Friend_TeleportFormation(TScriptParam* args, int count);
void Friend_MoveFormation(TScriptParam* args, int count);
// "Unit.MoveXZ" ("vvvvvvv"); "Unit.MoveY", "Unit.RotateAroudX", "Unit.RotateAroudY" and
// "Unit.RotateAroudZ" ("vvvvvv"); "Unit.EmitAnim" ("vvvvvvv").
void Unit_MoveXZ(TScriptParam* args, int count);
void Unit_MoveY(TScriptParam* args, int count);
void Unit_RotateAroundX(TScriptParam* args, int count);
void Unit_RotateAroundY(TScriptParam* args, int count);
void Unit_RotateAroundZ(TScriptParam* args, int count);
void Unit_EmitAnim(TScriptParam* args, int count);
// "Formation.RandomizeUnitPosition" ("v", counted from 1) and "Formation.MoveUnit" ("vvv", from 0).
void Formation_RandomizeUnitPosition(TScriptParam* args, int count);
void Formation_MoveUnit(TScriptParam* args, int count);

// Getters and setters of the variables "UnitPosx" to "FormationMaxUnit".
float GetUnitPosx();
void SetUnitPosx(float value);
float GetUnitPosy();
void SetUnitPosy(float value);
float GetUnitPosz();
void SetUnitPosz(float value);
float GetUnitAngleXY();
void SetUnitAngleXY(float value);
float GetUnitAngleXZ();
void SetUnitAngleXZ(float value);
float GetUnitAngleYZ();
void SetUnitAngleYZ(float value);
float GetUnitMaxSpeed();
float GetUnitCurrentSpeedx();
float GetUnitCurrentSpeedy();
float GetUnitCurrentSpeedz();
// Writing 0 clears the flag, any other value sets it.
float GetUnitAutoFire();
void SetUnitAutoFire(float value);
float GetUnitAllowCommand();
void SetUnitAllowCommand(float value);
float GetFormationPosx();
void SetFormationPosx(float value);
float GetFormationPosz();
void SetFormationPosz(float value);
float GetFormationMaxUnit();

// "FormationUnitOffsetX", "…OffsetZ", "…RandomOffsetX", "…RandomOffsetZ" of a slot (from 0) of the
// current formation's type; 0 for a slot outside the type.
float FormationUnitOffsetX(const float* args, int count);
float FormationUnitOffsetZ(const float* args, int count);
float FormationUnitRandomOffsetX(const float* args, int count);
float FormationUnitRandomOffsetZ(const float* args, int count);
