#include "world/terrainscript.h"

#include "foundation/numeric.h"
#include "script/scriptbase.h"
#include "world/scene.h"

namespace {

CHeightTerrain& Terrain() { return g_Scene.terrain; }

}  // namespace

void Scene_LoadHeightTerrain(TScriptParam* args, int count) { Terrain().Load(args[0].strText); }

void Terrain_ChangeSpeed(TScriptParam* args, int count)
{
    Terrain().ChangeSpeed(args[0].fValue, args[1].fValue, TruncToInt(args[2].fValue), args[3].fValue, args[4].fValue,
                          args[5].fValue);
}

void Terrain_ChangeHeight(TScriptParam* args, int count)
{
    Terrain().ChangeHeight(args[0].fValue, args[1].fValue, TruncToInt(args[2].fValue), args[3].fValue, args[4].fValue,
                           args[5].fValue);
}

void Terrain_ChangeOffsetx(TScriptParam* args, int count)
{
    Terrain().ChangeOffsetx(args[0].fValue, args[1].fValue, TruncToInt(args[2].fValue), args[3].fValue,
                            args[4].fValue, args[5].fValue);
}

void Terrain_SetViewBoarder(TScriptParam* args, int count) { Terrain().SetViewBoarder(args[0].fValue, args[1].fValue); }

void Terrain_DisableLoop(TScriptParam* args, int count) { Terrain().DisableLoop(args[0].strText); }

void Terrain_Start(TScriptParam* args, int count) { Terrain().Start(); }

float Terrain_GetSpeed() { return Terrain().speed.Get(); }
void Terrain_SetSpeed(float value) { Terrain().speed.Set(value); }
float Terrain_GetOffsetX() { return Terrain().offsetx.Get(); }
void Terrain_SetOffsetX(float value) { Terrain().offsetx.Set(value); }
float Terrain_GetHeight() { return Terrain().height.Get(); }
void Terrain_SetHeight(float value) { Terrain().height.Set(value); }
