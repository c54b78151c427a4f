// The scene camera: an animated eye point and point looked at, an animated roll angle, field of
// view and aspect, fixed near and far planes, and an up vector derived from the viewing
// direction. The billboard animations take its up and right vectors.
#pragma once

#include "foundation/interpolator.h"
#include "foundation/objectbase.h"
#include "platform/d3dx9math.h"

// Moves an interpolator towards a target by the scripts' mode rule: 0 at once, 1 linearly over
// `frames` ticks, 2 smoothly with gain, maximum speed and maximum acceleration; any other mode
// changes nothing.
void ChangeInterpolator(CInterpolatorFloat& value, int mode, float target, int frames, float gain, float maxSpeed,
                        float maxAccel);
void ChangeInterpolator(CInterpolator3D& point, int mode, const D3DXVECTOR3& target, int frames, float gain,
                        float maxSpeed, float maxAccel);

class CSceneCamera : public CObject {
public:
    CInterpolator3D Position;
    CInterpolator3D LookAt;
    CInterpolatorFloat RollAngle;  // stepped, but no matrix or vector uses it
    CInterpolatorFloat Fov;        // vertical, radians
    CInterpolatorFloat Aspect;
    float Near = 1.0f;
    float Far = 500.0f;
    D3DXVECTOR3 Up;

    CSceneCamera() { Reset(); }

    void Reset();
    void Update();
    void UpdateUp();

    void GetViewMatrix(D3DXMATRIX* out) const;
    void GetProjMatrix(D3DXMATRIX* out) const;

    void ChangePosition(int mode, float x, float y, float z, int frames, float p1, float p2, float p3);
    void ChangeLookAt(int mode, float x, float y, float z, int frames, float p1, float p2, float p3);
    void ChangeRollAngle(int mode, float angle, int frames, float p1, float p2, float p3);
    void ChangeFov(int mode, float fov, int frames, float p1, float p2, float p3);
    void ChangeAspect(int mode, float aspect, int frames, float p1, float p2, float p3);
    void SetNear(float value) { Near = value; }
    void SetFar(float value) { Far = value; }

    void GetUp(D3DXVECTOR3* out) const { *out = Up; }
    // Neither is normalised.
    void GetRight(D3DXVECTOR3* out) const;
    void GetLook(D3DXVECTOR3* out) const { *out = LookAt.vCurrent - Position.vCurrent; }
};
