// The handlers of the script system functions that drive the scene's view: "Scene.LoadAnimation"
// ("ss"), "Camera.ChangePosition" and "Camera.ChangeLookAt" ("vvvvvvvv"),
// "Camera.ChangeRollAngle" ("vvvvvv"), "Lights.Create" ("vv"), "Lights.TurnOn" and
// "Lights.TurnOff" ("v"), "Lights.ChangeAmbient", "Lights.ChangeDiffuse" and
// "Lights.ChangeSpecular" ("vvvvvvvv"), "Lights.ChangePosition" and "Lights.ChangeLookAt"
// ("vvvvvvvvv"), "Fog.Enable" and "Fog.Disable" (""), "Fog.ChangeColor" ("vvvvv"),
// "Fog.ChangeDistanceNear" and "Fog.ChangeDistanceFar" ("vv"). The bindings register them under
// those names and signatures; all act on g_Scene.
#pragma once

struct TScriptParam;

void Scene_LoadAnimation(TScriptParam* args, int count);
void Camera_ChangePosition(TScriptParam* args, int count);
void Camera_ChangeLookAt(TScriptParam* args, int count);
void Camera_ChangeRollAngle(TScriptParam* args, int count);
void Lights_Create(TScriptParam* args, int count);
void Lights_TurnOn(TScriptParam* args, int count);
void Lights_TurnOff(TScriptParam* args, int count);
void Lights_ChangeAmbient(TScriptParam* args, int count);
void Lights_ChangeDiffuse(TScriptParam* args, int count);
void Lights_ChangeSpecular(TScriptParam* args, int count);
void Lights_ChangePosition(TScriptParam* args, int count);
void Lights_ChangeLookAt(TScriptParam* args, int count);
void Fog_Enable(TScriptParam* args, int count);
void Fog_Disable(TScriptParam* args, int count);
void Fog_ChangeColor(TScriptParam* args, int count);
void Fog_ChangeDistanceNear(TScriptParam* args, int count);
void Fog_ChangeDistanceFar(TScriptParam* args, int count);
