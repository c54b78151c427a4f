#include "world/viewscript.h"

#include "foundation/numeric.h"
#include "script/scriptbase.h"
#include "world/scene.h"

void Scene_LoadAnimation(TScriptParam* args, int count)
{
    g_Scene.animations.LoadGroups(args[0].strText, args[1].strText);
}

void Camera_ChangePosition(TScriptParam* args, int count)
{
    g_Scene.camera.ChangePosition(TruncToInt(args[0].fValue), args[1].fValue, args[2].fValue, args[3].fValue,
                                  TruncToInt(args[4].fValue), args[5].fValue, args[6].fValue, args[7].fValue);
}

void Camera_ChangeLookAt(TScriptParam* args, int count)
{
    g_Scene.camera.ChangeLookAt(TruncToInt(args[0].fValue), args[1].fValue, args[2].fValue, args[3].fValue,
                                TruncToInt(args[4].fValue), args[5].fValue, args[6].fValue, args[7].fValue);
}

void Camera_ChangeRollAngle(TScriptParam* args, int count)
{
    g_Scene.camera.ChangeRollAngle(TruncToInt(args[0].fValue), args[1].fValue, TruncToInt(args[2].fValue),
                                   args[3].fValue, args[4].fValue, args[5].fValue);
}
