#include "bindings/bindings.h"

#include "bindings/framefunctions.h"
#include "foundation/random.h"
#include "media/mediascript.h"
#include "script/expressionbase.h"
#include "script/scriptbase.h"
#include "script/scriptrunner.h"
#include "ui/keytable.h"
#include "ui/uiscript.h"
#include "world/particlescript.h"
#include "world/terrainscript.h"
#include "world/unitdata.h"
#include "world/unitscript.h"
#include "world/viewscript.h"

namespace {

struct TSystemFuncBinding {
    const char* name;
    SystemFuncHandler handler;
    const char* signature;
};

struct TVarBinding {
    const char* name;
    expression::VarGetter getter;
    expression::VarSetter setter;  // null: read-only
};

struct TFunctionBinding {
    const char* name;
    expression::FunctionFunc func;
};

// Every row in its place in the registration order.
const TSystemFuncBinding kSystemFunctions[] = {
    {"ReportMsg", ScriptReportMsg, "s"},
    {"ReportValue", ScriptReportValue, "v"},
    {"CallFunction", ScriptCallFunction, "s"},
    {"StartThread", ScriptStartThread, "ss"},
    {"PauseThread", ScriptPauseThread, "s"},
    {"ContinueThread", ScriptContinueThread, "s"},
    {"UI.MoveControl", UI_MoveControl, "svvvvvvv"},
    {"UI.MoveControlOffSet", UI_MoveControlOffSet, "svvvvvvv"},
    {"UI.ResizeControl", UI_ResizeControl, "svvvvvvv"},
    {"UI.ChangeControlColor", UI_ChangeControlColor, "svvvvvvv"},
    {"UI.EnableControl", UI_EnableControl, "sv"},
    {"UI.ChangeControlText", UI_ChangeControlText, "ss"},
    {"UI.AddSound", UI_AddSound, "si"},
    {"UI.PlaySound", UI_PlaySound, "iv"},
    {"Audio.PlayMusic", Audio_PlayMusic, "s"},
    {"Audio.SetMusicVolume", Audio_SetMusicVolume, "v"},
    {"Frame.Command", ScriptFrameCommand, "v"},
    {"Frame.StartScene", ScriptFrameStartScene, "ss"},
    {"Scene.LoadObject3D", Scene_LoadObject3D, "ss"},
    {"Scene.LoadSound", Scene_LoadSound, "ss"},
    {"Scene.LoadUnits", Scene_LoadUnits, "ss"},
    {"Scene.LoadUnitFormations", Scene_LoadUnitFormations, "ss"},
    {"Scene.LoadHeightTerrain", Scene_LoadHeightTerrain, "s"},
    {"Scene.LoadParticleSystem", Scene_LoadParticleSystem, "s"},
    {"Scene.LoadAnimation", Scene_LoadAnimation, "ss"},
    {"Terrain.ChangeSpeed", Terrain_ChangeSpeed, "vvvvvv"},
    {"Terrain.ChangeHeight", Terrain_ChangeHeight, "vvvvvv"},
    {"Terrain.ChangeOffsetx", Terrain_ChangeOffsetx, "vvvvvv"},
    {"Terrain.SetViewBoarder", Terrain_SetViewBoarder, "vv"},
    {"Terrain.DisableLoop", Terrain_DisableLoop, "s"},
    {"Terrain.Start", Terrain_Start, ""},
    {"Camera.ChangePosition", Camera_ChangePosition, "vvvvvvvv"},
    {"Camera.ChangeLookAt", Camera_ChangeLookAt, "vvvvvvvv"},
    {"Camera.ChangeRollAngle", Camera_ChangeRollAngle, "vvvvvv"},
    {"Lights.Create", Lights_Create, "vv"},
    {"Lights.TurnOn", Lights_TurnOn, "v"},
    {"Lights.TurnOff", Lights_TurnOff, "v"},
    {"Lights.ChangeAmbient", Lights_ChangeAmbient, "vvvvvvvv"},
    {"Lights.ChangeDiffuse", Lights_ChangeDiffuse, "vvvvvvvv"},
    {"Lights.ChangeSpecular", Lights_ChangeSpecular, "vvvvvvvv"},
    {"Lights.ChangePosition", Lights_ChangePosition, "vvvvvvvvv"},
    {"Lights.ChangeLookAt", Lights_ChangeLookAt, "vvvvvvvvv"},
    {"Fog.Enable", Fog_Enable, ""},
    {"Fog.Disable", Fog_Disable, ""},
    {"Fog.ChangeColor", Fog_ChangeColor, "vvvvv"},
    {"Fog.ChangeDistanceNear", Fog_ChangeDistanceNear, "vv"},
    {"Fog.ChangeDistanceFar", Fog_ChangeDistanceFar, "vv"},
    {"Friend.CreateFormation", Friend_CreateFormation, "ssvvv"},
    {"Friend.TeleportFormation", Friend_TeleportFormation, "svv"},
    {"Friend.MoveFormation", Friend_MoveFormation, "svv"},
    {"Unit.MoveXZ", Unit_MoveXZ, "vvvvvvv"},
    {"Unit.MoveY", Unit_MoveY, "vvvvvv"},
    {"Unit.RotateAroudX", Unit_RotateAroundX, "vvvvvv"},
    {"Unit.RotateAroudY", Unit_RotateAroundY, "vvvvvv"},
    {"Unit.RotateAroudZ", Unit_RotateAroundZ, "vvvvvv"},
    {"Unit.EmitAnim", Unit_EmitAnim, "vvvvvvv"},
    {"Formation.RandomizeUnitPosition", Formation_RandomizeUnitPosition, "v"},
    {"Formation.MoveUnit", Formation_MoveUnit, "vvv"},
    {"ParticleSys.Enable", ParticleSys_Enable, ""},
    {"ParticleSys.Disable", ParticleSys_Disable, ""},
};

const TVarBinding kVariables[] = {
    {"UnitPosx", GetUnitPosx, SetUnitPosx},
    {"UnitPosy", GetUnitPosy, SetUnitPosy},
    {"UnitPosz", GetUnitPosz, SetUnitPosz},
    {"UnitAngleXY", GetUnitAngleXY, SetUnitAngleXY},
    {"UnitAngleXZ", GetUnitAngleXZ, SetUnitAngleXZ},
    {"UnitAngleYZ", GetUnitAngleYZ, SetUnitAngleYZ},
    {"UnitMaxSpeed", GetUnitMaxSpeed, nullptr},
    {"UnitCurrentSpeedx", GetUnitCurrentSpeedx, nullptr},
    {"UnitCurrentSpeedy", GetUnitCurrentSpeedy, nullptr},
    {"UnitCurrentSpeedz", GetUnitCurrentSpeedz, nullptr},
    {"UnitAutoFire", GetUnitAutoFire, SetUnitAutoFire},
    {"UnitAllowCommand", GetUnitAllowCommand, SetUnitAllowCommand},
    {"FormationPosx", GetFormationPosx, SetFormationPosx},
    {"FormationPosz", GetFormationPosz, SetFormationPosz},
    {"FormationMaxUnit", GetFormationMaxUnit, nullptr},
    {"Terrain.Speed", Terrain_GetSpeed, Terrain_SetSpeed},
    {"Terrain.OffsetX", Terrain_GetOffsetX, Terrain_SetOffsetX},
    {"Terrain.Height", Terrain_GetHeight, Terrain_SetHeight},
};

const TFunctionBinding kFunctions[] = {
    {"CheckKeyDown", CheckKeyDown},
    {"CheckKeyPress", CheckKeyPress},
    {"Random", ExprRandom},
    {"RandomB", ExprRandomB},
    {"Distance", ExprDistance},
    {"FormationUnitOffsetX", FormationUnitOffsetX},
    {"FormationUnitOffsetZ", FormationUnitOffsetZ},
    {"FormationUnitRandomOffsetX", FormationUnitRandomOffsetX},
    {"FormationUnitRandomOffsetZ", FormationUnitRandomOffsetZ},
};

}  // namespace

bool RegisterScriptBindings()
{
    for (const TSystemFuncBinding& f : kSystemFunctions)
        g_SystemFuncTable.Register(f.name, f.handler, f.signature);

    for (const TVarBinding& v : kVariables) {
        expression::TVar var;
        var.name = v.name;
        var.type = expression::VT_FUNC;
        var.getter = v.getter;
        var.setter = v.setter;
        g_VarTable.AddVar(v.name, var);
    }

    for (const TFunctionBinding& f : kFunctions) {
        expression::TFunction fn;
        fn.name = f.name;
        fn.func = f.func;
        g_FunctionTable.AddFunc(f.name, fn);
    }
    return true;
}
