// Mouse and key events of the user interface, handed over by the window procedure between
// ticks. Commands run their script at once, before the event's sound plays.
#include "media/sound.h"
#include "ui/uimanager.h"

namespace {

void Play(TSound* sound)
{
    if (sound) sound->Play(1.0f);
}

}  // namespace

CUIControl* UIManager::GetControlAt(float x, float y)
{
    for (int i = Controls.Count() - 1; i >= 0; --i) {
        CUIControl* control = Controls.Get(i);
        if (control->HitTest(x, y)) return control;
    }
    return nullptr;
}

// Every control open to events gets its enter and leave events, topmost first; overlapping
// controls are not shadowed by the one above them.
void UIManager::OnMouseMove(int x, int y)
{
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    for (int i = Controls.Count() - 1; i >= 0; --i) {
        CUIControl* control = Controls.Get(i);
        if (!control->IsOpen()) continue;
        const bool inside = control->HitTest(fx, fy);
        if (inside && control->nContact == 0) {
            control->nContact = 1;
            if (control->nCmdContact > 0) RunCommand(control->nCmdContact);
            Play(control->pSndContact);
        } else if (!inside && control->nContact == 1) {
            control->nContact = 0;
            if (control->nCmdLoseContact > 0) RunCommand(control->nCmdLoseContact);
            Play(control->pSndLoseContact);
        }
    }
}

// A disabled control still takes the click it lies under, and with it nothing happens.
void UIManager::OnButtonDown(int x, int y, int CUIControl::*command, TSound* CUIControl::*sound)
{
    CUIControl* hit = GetControlAt(static_cast<float>(x), static_cast<float>(y));
    if (!hit) {
        pFocus = nullptr;
        return;
    }
    if (!hit->IsOpen()) return;
    if (hit->*command > 0) RunCommand(hit->*command);
    Play(hit->*sound);
    pFocus = hit;
}

void UIManager::OnLButtonDown(int x, int y)
{
    OnButtonDown(x, y, &CUIControl::nCmdLClick, &CUIControl::pSndLClick);
}

void UIManager::OnRButtonDown(int x, int y)
{
    OnButtonDown(x, y, &CUIControl::nCmdRClick, &CUIControl::pSndRClick);
}

void UIManager::OnChar(int ch)
{
    if (!pFocus || !pFocus->IsOpen()) return;
    if (pFocus->nType == UI_EDITTEXT) pFocus->InputChar(ch);
    Play(pFocus->pSndChar);
}
