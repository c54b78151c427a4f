#include "world/fog.h"

#include <bit>

#include "foundation/colors.h"
#include "foundation/device.h"

namespace {

void SetState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (g_pDevice) g_pDevice->SetRenderState(state, value);
}

void SetDistance(D3DRENDERSTATETYPE state, float value) { SetState(state, std::bit_cast<DWORD>(value)); }

void ChangeDistance(CInterpolatorFloat& value, D3DRENDERSTATETYPE state, float distance, int frames)
{
    if (frames != 0) {
        value.StartLinear(value.Get(), distance, frames);
    } else {
        value.Set(distance);
        SetDistance(state, distance);
    }
}

}  // namespace

CFog::CFog() { Color.Set(COLOR_WHITE); }

void CFog::Enable()
{
    bEnabled = true;
    SetState(D3DRS_FOGENABLE, TRUE);
    SetState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    SetState(D3DRS_FOGCOLOR, Color.Get());
    SetDistance(D3DRS_FOGSTART, Near.Get());
    SetDistance(D3DRS_FOGEND, Far.Get());
}

void CFog::Disable()
{
    bEnabled = false;
    SetState(D3DRS_FOGENABLE, FALSE);
}

void CFog::Update()
{
    Color.Update();
    Far.Update();
    Near.Update();
    if (Color.IsRunning()) SetState(D3DRS_FOGCOLOR, Color.Get());
    if (Far.IsRunning()) SetDistance(D3DRS_FOGEND, Far.Get());
    if (Near.IsRunning()) SetDistance(D3DRS_FOGSTART, Near.Get());
}

void CFog::ChangeColor(const D3DXCOLOR& colour, int frames)
{
    if (frames != 0) {
        Color.StartLinear(Color.Get(), colour, frames);
    } else {
        Color.Set(colour);
        SetState(D3DRS_FOGCOLOR, colour);
    }
}

void CFog::ChangeDistanceNear(float distance, int frames) { ChangeDistance(Near, D3DRS_FOGSTART, distance, frames); }

void CFog::ChangeDistanceFar(float distance, int frames) { ChangeDistance(Far, D3DRS_FOGEND, distance, frames); }

void CFog::Reset()
{
    Color.Set(COLOR_WHITE);
    Near.Set(10.0f);
    Far.Set(200.0f);
    bEnabled = false;
}
