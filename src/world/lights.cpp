#include "world/lights.h"

#include "foundation/colors.h"
#include "foundation/device.h"
#include "foundation/stringutil.h"

void TLight::Reset()
{
    bOn = false;
    nType = D3DLIGHT_DIRECTIONAL;
    Ambient.Set(COLOR_BLACK);
    Diffuse.Set(COLOR_GREY);
    Specular.Set(COLOR_GREY);
    Position.Set(0.0f, 1.0f, 0.0f);
    LookAt.Set(0.0f, 0.0f, 0.0f);
    Range.Set(1000.0f);
    Falloff.Set(1.0f);
    Theta.Set(0.7853982f);
    Phi.Set(1.5707964f);
}

void TLight::TurnOn()
{
    bOn = true;
    if (g_pDevice) g_pDevice->LightEnable(static_cast<DWORD>(nIndex), TRUE);
    Apply();
}

void TLight::TurnOff()
{
    bOn = false;
    if (g_pDevice) g_pDevice->LightEnable(static_cast<DWORD>(nIndex), FALSE);
}

void TLight::Update()
{
    if (!bOn) return;
    Ambient.Update();
    Diffuse.Update();
    Specular.Update();
    Position.Update();
    if (nType == D3DLIGHT_POINT) {
        Range.Update();
    } else if (nType == D3DLIGHT_SPOT) {
        LookAt.Update();
        Range.Update();
        Falloff.Update();
        Theta.Update();
        Phi.Update();
    } else {
        LookAt.Update();
    }
    if (Ambient.IsRunning() || Diffuse.IsRunning() || Specular.IsRunning() || Position.IsRunning() ||
        Range.IsRunning() || LookAt.IsRunning() || Theta.IsRunning() || Phi.IsRunning() || Falloff.IsRunning())
        Apply();
}

D3DLIGHT9 TLight::Record() const
{
    // Every member defined: the ones a type does not use stay 0. Point and spot lights keep full
    // strength out to their range.
    D3DLIGHT9 light{};
    light.Type = static_cast<D3DLIGHTTYPE>(nType);
    light.Diffuse = Diffuse.Get();
    light.Specular = Specular.Get();
    light.Ambient = Ambient.Get();
    light.Position = Position.vCurrent;
    if (nType != D3DLIGHT_POINT) light.Direction = LookAt.vCurrent - Position.vCurrent;
    if (nType != D3DLIGHT_DIRECTIONAL) {
        light.Range = Range.Get();
        light.Attenuation0 = 1.0f;
    }
    if (nType == D3DLIGHT_SPOT) {
        light.Falloff = Falloff.Get();
        light.Theta = Theta.Get();
        light.Phi = Phi.Get();
    }
    return light;
}

void TLight::Apply()
{
    if (!bOn || !g_pDevice) return;
    const D3DLIGHT9 light = Record();
    g_pDevice->SetLight(static_cast<DWORD>(nIndex), &light);
}

LightManager::LightManager() : Lights(kCount, TLight())
{
    for (int i = 0; i < kCount; ++i) {
        Lights[static_cast<std::size_t>(i)].nIndex = i;
        Lights[static_cast<std::size_t>(i)].bOn = false;
    }
    strClassName = "LightManager";
}

TLight* LightManager::At(int index)
{
    if (index < 0 || index >= kCount) {
        Error("Light Index out of bound:=" + IntToString(index));
        return nullptr;
    }
    return &Lights[static_cast<std::size_t>(index)];
}

void LightManager::Create(int index, int type)
{
    TLight* light = At(index);
    if (!light) return;
    light->Reset();
    if (type == D3DLIGHT_POINT || type == D3DLIGHT_SPOT || type == D3DLIGHT_DIRECTIONAL) light->nType = type;
    light->TurnOn();
}

void LightManager::TurnOn(int index)
{
    if (TLight* light = At(index)) light->TurnOn();
}

void LightManager::TurnOff(int index)
{
    if (TLight* light = At(index)) light->TurnOff();
}

void LightManager::ChangeAmbient(int index, int mode, const D3DXCOLOR& colour, int frames, float gain)
{
    if (TLight* light = At(index)) ChangeInterpolator(light->Ambient, mode, colour, frames, gain);
}

void LightManager::ChangeDiffuse(int index, int mode, const D3DXCOLOR& colour, int frames, float gain)
{
    if (TLight* light = At(index)) ChangeInterpolator(light->Diffuse, mode, colour, frames, gain);
}

void LightManager::ChangeSpecular(int index, int mode, const D3DXCOLOR& colour, int frames, float gain)
{
    if (TLight* light = At(index)) ChangeInterpolator(light->Specular, mode, colour, frames, gain);
}

void LightManager::ChangePosition(int index, int mode, float x, float y, float z, int frames, float gain,
                                  float maxSpeed, float maxAccel)
{
    if (TLight* light = At(index))
        ChangeInterpolator(light->Position, mode, D3DXVECTOR3(x, y, z), frames, gain, maxSpeed, maxAccel);
}

void LightManager::ChangeLookAt(int index, int mode, float x, float y, float z, int frames, float gain,
                                float maxSpeed, float maxAccel)
{
    if (TLight* light = At(index))
        ChangeInterpolator(light->LookAt, mode, D3DXVECTOR3(x, y, z), frames, gain, maxSpeed, maxAccel);
}

void LightManager::Update()
{
    for (TLight& light : Lights) light.Update();
}
