// The handlers of the script system functions that change the user interface while it runs.
// The bindings register them as "UI.MoveControl", "UI.MoveControlOffSet", "UI.ResizeControl",
// "UI.ChangeControlColor" (each "svvvvvvv"), "UI.EnableControl" ("sv"), "UI.ChangeControlText"
// ("ss"), "UI.AddSound" ("si") and "UI.PlaySound" ("iv"). All act on g_UIManager.
#pragma once

#include "platform/d3d9.h"

struct TScriptParam;

void UI_MoveControl(TScriptParam* args, int count);
void UI_MoveControlOffSet(TScriptParam* args, int count);
void UI_ResizeControl(TScriptParam* args, int count);
void UI_ChangeControlColor(TScriptParam* args, int count);
void UI_EnableControl(TScriptParam* args, int count);
void UI_ChangeControlText(TScriptParam* args, int count);
void UI_AddSound(TScriptParam* args, int count);
void UI_PlaySound(TScriptParam* args, int count);

// Four channels on a 0 to 255 scale, each clamped, packed as ARGB.
D3DCOLOR PackScriptColor(float r, float g, float b, float a);
