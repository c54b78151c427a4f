// The handlers of the script system functions that drive the scene's view: "Scene.LoadAnimation"
// ("ss"), "Camera.ChangePosition" and "Camera.ChangeLookAt" ("vvvvvvvv"),
// "Camera.ChangeRollAngle" ("vvvvvv"). The bindings register them under those names and
// signatures; all act on g_Scene.
#pragma once

struct TScriptParam;

void Scene_LoadAnimation(TScriptParam* args, int count);
void Camera_ChangePosition(TScriptParam* args, int count);
void Camera_ChangeLookAt(TScriptParam* args, int count);
void Camera_ChangeRollAngle(TScriptParam* args, int count);
