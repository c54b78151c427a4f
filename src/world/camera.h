// The scene camera: an animated eye point and point looked at, an animated roll angle, field of
// view and aspect, fixed near and far planes, and an up vector derived from the viewing
// direction. The billboard animations take its up and right vectors.
#pragma once

#include "foundation/interpolator.h"
#include "foundation/objectbase.h"
#include "platform/d3dx9math.h"

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
