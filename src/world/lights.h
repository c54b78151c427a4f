// The scene's eight lights, one per device light index. Each keeps its colours, position,
// look-at point and cone in interpolators, so scripts can fade and move it over ticks; a light
// that is on is handed to the device whenever one of its values is moving.
#pragma once

#include <vector>

#include "foundation/interpolator.h"
#include "foundation/objectbase.h"
#include "platform/d3d9.h"

struct TLight : public CObject {
    int nIndex = 0;
    bool bOn = false;
    int nType = D3DLIGHT_DIRECTIONAL;
    CInterpolatorColor Ambient;
    CInterpolatorColor Diffuse;
    CInterpolatorColor Specular;
    CInterpolator3D Position;
    CInterpolator3D LookAt;  // the direction is LookAt - Position
    CInterpolatorFloat Range;
    CInterpolatorFloat Falloff;
    CInterpolatorFloat Theta;  // inner cone, radians
    CInterpolatorFloat Phi;    // outer cone, radians

    TLight() { Reset(); }

    void Reset();
    void TurnOn();
    void TurnOff();
    void Update();
    void Apply();
    // The device record of the current values.
    D3DLIGHT9 Record() const;
};

class LightManager : public CNamedObject {
public:
    static constexpr int kCount = 8;
    std::vector<TLight> Lights;

    LightManager();

    void Create(int index, int type);
    void TurnOn(int index);
    void TurnOff(int index);
    void ChangeAmbient(int index, int mode, const D3DXCOLOR& colour, int frames, float gain);
    void ChangeDiffuse(int index, int mode, const D3DXCOLOR& colour, int frames, float gain);
    void ChangeSpecular(int index, int mode, const D3DXCOLOR& colour, int frames, float gain);
    void ChangePosition(int index, int mode, float x, float y, float z, int frames, float gain, float maxSpeed,
                        float maxAccel);
    void ChangeLookAt(int index, int mode, float x, float y, float z, int frames, float gain, float maxSpeed,
                      float maxAccel);
    void Update();

private:
    // The light of that index, or null after reporting an index outside 0 to 7.
    TLight* At(int index);
};
