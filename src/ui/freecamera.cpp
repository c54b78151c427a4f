#include "ui/freecamera.h"

namespace {

// Rotates v about axis by angle, as a point.
D3DXVECTOR3 Rotated(const D3DXVECTOR3& v, const D3DXVECTOR3& axis, float angle)
{
    D3DXMATRIX m;
    D3DXMatrixRotationAxis(&m, &axis, angle);
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

}  // namespace

CFreeCamera::CFreeCamera()
{
    Reset();
}

void CFreeCamera::Reset()
{
    vEye = D3DXVECTOR3(20.0f, 0.0f, 0.0f);
    vLookAt = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    vUp = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    fFov = 1.2566371f;
    fAspect = 1.3333334f;
    fNear = 1.0f;
    fFar = 100.0f;
}

void CFreeCamera::GetViewMatrix(D3DXMATRIX* out) const
{
    D3DXMatrixLookAtLH(out, &vEye, &vLookAt, &vUp);
}

void CFreeCamera::GetProjMatrix(D3DXMATRIX* out) const
{
    D3DXMatrixPerspectiveFovLH(out, fFov, fAspect, fNear, fFar);
}

void CFreeCamera::Walk(float d)
{
    D3DXVECTOR3 look;
    GetLook(&look);
    D3DXVec3Normalize(&look, &look);
    Translate(&(look *= d));
}

void CFreeCamera::Fly(float d)
{
    D3DXVECTOR3 up;
    D3DXVec3Normalize(&up, &vUp);
    Translate(&(up *= d));
}

void CFreeCamera::Strafe(float d)
{
    D3DXVECTOR3 look;
    GetLook(&look);
    D3DXVECTOR3 right;
    D3DXVec3Cross(&right, &vUp, &look);
    D3DXVec3Normalize(&right, &right);
    Translate(&(right *= d));
}

void CFreeCamera::Translate(const D3DXVECTOR3* v)
{
    vEye += *v;
    vLookAt += *v;
}

void CFreeCamera::Roll(float angle)
{
    D3DXVECTOR3 look;
    GetLook(&look);
    vUp = Rotated(vUp, look, angle);
}

void CFreeCamera::Yaw(float angle)
{
    D3DXVECTOR3 look;
    GetLook(&look);
    vLookAt = vEye + Rotated(look, vUp, angle);
}

void CFreeCamera::Pitch(float angle)
{
    D3DXVECTOR3 look;
    D3DXVECTOR3 right;
    GetLook(&look);
    GetRight(&right);
    vLookAt = vEye + Rotated(look, right, angle);
    vUp = Rotated(vUp, right, angle);
}

void CFreeCamera::GetRight(D3DXVECTOR3* out) const
{
    D3DXVECTOR3 look;
    GetLook(&look);
    D3DXVec3Cross(out, &look, &vUp);
}
