// The scene's linear fog: an animated colour, start and end distance, and a switch, all carried
// by the device's fixed-function fog states (pixel fog, linear table mode).
#pragma once

#include "foundation/interpolator.h"
#include "foundation/objectbase.h"

class CFog : public CNamedObject {
public:
    CInterpolatorColor Color;
    CInterpolatorFloat Near;  // where the fog starts
    CInterpolatorFloat Far;   // where it is complete
    bool bEnabled = false;

    CFog();

    void Enable();
    void Disable();
    // Written to the device whether or not the fog is on, so a change made while it is off is in
    // place when it is switched on.
    void Update();
    // Frames 0: at once, on the device too; any other count: linear.
    void ChangeColor(const D3DXCOLOR& colour, int frames);
    void ChangeDistanceNear(float distance, int frames);
    void ChangeDistanceFar(float distance, int frames);
    void Reset();

    D3DXCOLOR GetColor() const { return Color.Get(); }
    float GetNear() const { return Near.Get(); }
    float GetFar() const { return Far.Get(); }
};
