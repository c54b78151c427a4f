#include "world/viewscript.h"

#include "foundation/numeric.h"
#include "script/scriptbase.h"
#include "world/scene.h"

namespace {

// Four values on a 0 to 255 scale, unclamped.
D3DXCOLOR ScriptColor(const TScriptParam* args)
{
    return D3DXCOLOR(args[0].fValue / 255.0f, args[1].fValue / 255.0f, args[2].fValue / 255.0f,
                     args[3].fValue / 255.0f);
}

int Int(const TScriptParam& arg) { return TruncToInt(arg.fValue); }

using ColourChange = void (LightManager::*)(int, int, const D3DXCOLOR&, int, float);
using PointChange = void (LightManager::*)(int, int, float, float, float, int, float, float, float);

// index, mode, red, green, blue, alpha, frames, gain
void ChangeLightColour(const TScriptParam* args, ColourChange change)
{
    (g_Scene.lights.*change)(Int(args[0]), Int(args[1]), ScriptColor(args + 2), Int(args[6]), args[7].fValue);
}

// index, mode, x, y, z, frames, gain, maxSpeed, maxAccel
void ChangeLightPoint(const TScriptParam* args, PointChange change)
{
    (g_Scene.lights.*change)(Int(args[0]), Int(args[1]), args[2].fValue, args[3].fValue, args[4].fValue,
                             Int(args[5]), args[6].fValue, args[7].fValue, args[8].fValue);
}

}  // namespace

void Scene_LoadAnimation(TScriptParam* args, int count)
{
    g_Scene.animations.LoadGroups(args[0].strText, args[1].strText);
}

void Camera_ChangePosition(TScriptParam* args, int count)
{
    g_Scene.camera.ChangePosition(Int(args[0]), args[1].fValue, args[2].fValue, args[3].fValue,
                                  Int(args[4]), args[5].fValue, args[6].fValue, args[7].fValue);
}

void Camera_ChangeLookAt(TScriptParam* args, int count)
{
    g_Scene.camera.ChangeLookAt(Int(args[0]), args[1].fValue, args[2].fValue, args[3].fValue,
                                Int(args[4]), args[5].fValue, args[6].fValue, args[7].fValue);
}

void Camera_ChangeRollAngle(TScriptParam* args, int count)
{
    g_Scene.camera.ChangeRollAngle(Int(args[0]), args[1].fValue, Int(args[2]),
                                   args[3].fValue, args[4].fValue, args[5].fValue);
}

void Lights_Create(TScriptParam* args, int count) { g_Scene.lights.Create(Int(args[0]), Int(args[1])); }

void Lights_TurnOn(TScriptParam* args, int count) { g_Scene.lights.TurnOn(Int(args[0])); }

void Lights_TurnOff(TScriptParam* args, int count) { g_Scene.lights.TurnOff(Int(args[0])); }

void Lights_ChangeAmbient(TScriptParam* args, int count) { ChangeLightColour(args, &LightManager::ChangeAmbient); }

void Lights_ChangeDiffuse(TScriptParam* args, int count) { ChangeLightColour(args, &LightManager::ChangeDiffuse); }

void Lights_ChangeSpecular(TScriptParam* args, int count) { ChangeLightColour(args, &LightManager::ChangeSpecular); }

void Lights_ChangePosition(TScriptParam* args, int count) { ChangeLightPoint(args, &LightManager::ChangePosition); }

void Lights_ChangeLookAt(TScriptParam* args, int count) { ChangeLightPoint(args, &LightManager::ChangeLookAt); }

void Fog_Enable(TScriptParam* args, int count) { g_Scene.fog.Enable(); }

void Fog_Disable(TScriptParam* args, int count) { g_Scene.fog.Disable(); }

void Fog_ChangeColor(TScriptParam* args, int count) { g_Scene.fog.ChangeColor(ScriptColor(args), Int(args[4])); }

void Fog_ChangeDistanceNear(TScriptParam* args, int count)
{
    g_Scene.fog.ChangeDistanceNear(args[0].fValue, Int(args[1]));
}

void Fog_ChangeDistanceFar(TScriptParam* args, int count) { g_Scene.fog.ChangeDistanceFar(args[0].fValue, Int(args[1])); }
