#include "bindings/bindings.h"

#include "app/keytable.h"
#include "bindings/framefunctions.h"
#include "foundation/random.h"
#include "media/mediascript.h"
#include "script/expressionbase.h"
#include "script/scriptbase.h"
#include "script/scriptrunner.h"
#include "ui/uiscript.h"
#include "world/particlescript.h"
#include "world/terrainscript.h"
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

// Every row in its place in the registration order. A row whose handler does not exist yet is
// not registered: a script calling that name then fails to load the line instead of calling
// nothing.
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
    {"Scene.LoadUnits", nullptr, "ss"},
    {"Scene.LoadUnitFormations", nullptr, "ss"},
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
    {"Friend.CreateFormation", nullptr, "ssvvv"},
    {"Friend.TeleportFormation", nullptr, "svv"},
    {"Friend.MoveFormation", nullptr, "svv"},
    {"Unit.MoveXZ", nullptr, "vvvvvvv"},
    {"Unit.MoveY", nullptr, "vvvvvv"},
    {"Unit.RotateAroudX", nullptr, "vvvvvv"},
    {"Unit.RotateAroudY", nullptr, "vvvvvv"},
    {"Unit.RotateAroudZ", nullptr, "vvvvvv"},
    {"Unit.EmitAnim", nullptr, "vvvvvvv"},
    {"Formation.RandomizeUnitPosition", nullptr, "v"},
    {"Formation.MoveUnit", nullptr, "vvv"},
    {"ParticleSys.Enable", ParticleSys_Enable, ""},
    {"ParticleSys.Disable", ParticleSys_Disable, ""},
};

const TVarBinding kVariables[] = {
    {"UnitPosx", nullptr, nullptr},
    {"UnitPosy", nullptr, nullptr},
    {"UnitPosz", nullptr, nullptr},
    {"UnitAngleXY", nullptr, nullptr},
    {"UnitAngleXZ", nullptr, nullptr},
    {"UnitAngleYZ", nullptr, nullptr},
    {"UnitMaxSpeed", nullptr, nullptr},
    {"UnitCurrentSpeedx", nullptr, nullptr},
    {"UnitCurrentSpeedy", nullptr, nullptr},
    {"UnitCurrentSpeedz", nullptr, nullptr},
    {"UnitAutoFire", nullptr, nullptr},
    {"UnitAllowCommand", nullptr, nullptr},
    {"FormationPosx", nullptr, nullptr},
    {"FormationPosz", nullptr, nullptr},
    {"FormationMaxUnit", nullptr, nullptr},
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
    {"FormationUnitOffsetX", nullptr},
    {"FormationUnitOffsetZ", nullptr},
    {"FormationUnitRandomOffsetX", nullptr},
    {"FormationUnitRandomOffsetZ", nullptr},
};

}  // namespace

bool RegisterScriptBindings()
{
    for (const TSystemFuncBinding& f : kSystemFunctions)
        if (f.handler)
            g_SystemFuncTable.Register(f.name, f.handler, f.signature);

    for (const TVarBinding& v : kVariables) {
        if (!v.getter)
            continue;
        expression::TVar var;
        var.name = v.name;
        var.type = expression::VT_FUNC;
        var.getter = v.getter;
        var.setter = v.setter;
        g_VarTable.AddVar(v.name, var);
    }

    for (const TFunctionBinding& f : kFunctions) {
        if (!f.func)
            continue;
        expression::TFunction fn;
        fn.name = f.name;
        fn.func = f.func;
        g_FunctionTable.AddFunc(f.name, fn);
    }
    return true;
}
