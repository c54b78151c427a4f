// The script system functions and variables of the scene's height terrain: "Terrain.ChangeSpeed",
// "Terrain.ChangeHeight", "Terrain.ChangeOffsetx" ("vvvvvv": mode, value, frames, gain, maximum
// speed, maximum acceleration), "Terrain.SetViewBoarder" ("vv"), "Terrain.DisableLoop" ("s"),
// "Terrain.Start" (""), "Scene.LoadHeightTerrain" ("s"), and the variables "Terrain.Speed",
// "Terrain.OffsetX" and "Terrain.Height", read and set at once.
#pragma once

struct TScriptParam;

void Scene_LoadHeightTerrain(TScriptParam* args, int count);
void Terrain_ChangeSpeed(TScriptParam* args, int count);
void Terrain_ChangeHeight(TScriptParam* args, int count);
void Terrain_ChangeOffsetx(TScriptParam* args, int count);
void Terrain_SetViewBoarder(TScriptParam* args, int count);
void Terrain_DisableLoop(TScriptParam* args, int count);
void Terrain_Start(TScriptParam* args, int count);

float Terrain_GetSpeed();
void Terrain_SetSpeed(float value);
float Terrain_GetOffsetX();
void Terrain_SetOffsetX(float value);
float Terrain_GetHeight();
void Terrain_SetHeight(float value);
