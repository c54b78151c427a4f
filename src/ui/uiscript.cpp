#include "ui/uiscript.h"

#include "foundation/numeric.h"
#include "script/scriptbase.h"
#include "ui/uimanager.h"

namespace {

// A mode other than at once, linear or smooth leaves the control as it is.
bool ScriptMode(float value, EInterpolateMode& mode)
{
    const int n = TruncToInt(value);
    if (n != IM_NONE && n != IM_LINEAR && n != IM_SMOOTH) return false;
    mode = static_cast<EInterpolateMode>(n);
    return true;
}

using MoveOperation = void (CUIControl::*)(float, float, EInterpolateMode, int, float, float, float);

// The shared form of the move, offset and resize calls: name, two values, mode, frames, gain,
// maxSpeed, maxAccel.
void DriveControl(TScriptParam* args, MoveOperation operation)
{
    CUIControl* control = g_UIManager.FindControl(args[0].strText);
    EInterpolateMode mode;
    if (!control || !ScriptMode(args[3].fValue, mode)) return;
    (control->*operation)(args[1].fValue, args[2].fValue, mode, TruncToInt(args[4].fValue), args[5].fValue,
                          args[6].fValue, args[7].fValue);
}

}  // namespace

D3DCOLOR PackScriptColor(float r, float g, float b, float a)
{
    return D3DXCOLOR(r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f);
}

void UI_MoveControl(TScriptParam* args, int count)
{
    DriveControl(args, &CUIControl::MoveTo);
}

void UI_MoveControlOffSet(TScriptParam* args, int count)
{
    DriveControl(args, &CUIControl::MoveOffSet);
}

void UI_ResizeControl(TScriptParam* args, int count)
{
    DriveControl(args, &CUIControl::Resize);
}

void UI_ChangeControlColor(TScriptParam* args, int count)
{
    CUIControl* control = g_UIManager.FindControl(args[0].strText);
    if (!control) {
        g_UIManager.Warning("cant find control" + args[0].strText, 0);
        return;
    }
    EInterpolateMode mode;
    if (!ScriptMode(args[5].fValue, mode)) return;
    control->ChangeColor(PackScriptColor(args[1].fValue, args[2].fValue, args[3].fValue, args[4].fValue), mode,
                         TruncToInt(args[6].fValue), args[7].fValue);
}

void UI_EnableControl(TScriptParam* args, int count)
{
    if (CUIControl* control = g_UIManager.FindControl(args[0].strText)) control->Enable(args[1].fValue > 0.0f);
}

void UI_ChangeControlText(TScriptParam* args, int count)
{
    if (CUIControl* control = g_UIManager.FindControl(args[0].strText)) control->strText = args[1].strText;
}

void UI_AddSound(TScriptParam* args, int count)
{
    g_UIManager.Sounds.Add(args[0].strText, args[1].nValue);
}

void UI_PlaySound(TScriptParam* args, int count)
{
    if (TSoundResourceEntry* entry = g_UIManager.Sounds.FindById(args[0].nValue))
        if (entry->pSound) entry->pSound->Play(args[1].fValue);
}
