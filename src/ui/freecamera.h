// A plain look-at camera with a perspective projection. The user interface places one so that
// the plane z = 0 shows its design area; the movement and rotation operations are offered for
// any other user.
#pragma once

#include "platform/d3dx9math.h"

class CFreeCamera {
public:
    D3DXVECTOR3 vEye;
    D3DXVECTOR3 vLookAt;
    D3DXVECTOR3 vUp;
    float fFov;  // vertical, radians
    float fAspect;
    float fNear;
    float fFar;

    CFreeCamera();

    void Reset();
    void GetViewMatrix(D3DXMATRIX* out) const;
    void GetProjMatrix(D3DXMATRIX* out) const;

    void SetEye(const D3DXVECTOR3* v) { vEye = *v; }
    void SetLookAt(const D3DXVECTOR3* v) { vLookAt = *v; }
    void SetUp(const D3DXVECTOR3* v) { vUp = *v; }
    void SetFov(float f) { fFov = f; }
    void SetAspect(float f) { fAspect = f; }
    void SetNear(float f) { fNear = f; }
    void SetFar(float f) { fFar = f; }

    // Eye and look-at move together: along the look direction, the up vector, or to the right.
    void Walk(float d);
    void Fly(float d);
    void Strafe(float d);
    void Translate(const D3DXVECTOR3* v);
    void Roll(float angle);
    void Yaw(float angle);
    void Pitch(float angle);

    // Not normalised.
    void GetRight(D3DXVECTOR3* out) const;
    void GetUp(D3DXVECTOR3* out) const { *out = vUp; }
    void GetLook(D3DXVECTOR3* out) const { *out = vLookAt - vEye; }
};
