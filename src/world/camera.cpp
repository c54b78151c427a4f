#include "world/camera.h"

void CSceneCamera::Reset()
{
    Position.Set(0.0f, 100.0f, -80.0f);
    LookAt.Set(0.0f, 0.0f, 0.0f);
    Fov.Set(0.9424779f);
    Aspect.Set(1.3333334f);
    Near = 1.0f;
    Far = 500.0f;
    UpdateUp();
}

void CSceneCamera::Update()
{
    Position.Update();
    LookAt.Update();
    RollAngle.Update();
    Fov.Update();
    Aspect.Update();
    UpdateUp();
}

void CSceneCamera::UpdateUp()
{
    D3DXVECTOR3 front = LookAt.vCurrent - Position.vCurrent;
    if (front.y == 0.0f) {
        Up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    } else if (front.x == 0.0f && front.z == 0.0f) {
        Up = D3DXVECTOR3(0.0f, 0.0f, 1.0f);  // straight up or down
    } else {
        const D3DXVECTOR3 map(front.x, 0.0f, front.z);
        D3DXVECTOR3 right;
        D3DXVec3Cross(&right, &map, &front);
        D3DXVECTOR3 up;
        D3DXVec3Cross(&up, &front, &right);
        D3DXVec3Normalize(&Up, &up);
    }
}

void CSceneCamera::GetViewMatrix(D3DXMATRIX* out) const
{
    D3DXMatrixLookAtLH(out, &Position.vCurrent, &LookAt.vCurrent, &Up);
}

void CSceneCamera::GetProjMatrix(D3DXMATRIX* out) const
{
    D3DXMatrixPerspectiveFovLH(out, Fov.Get(), Aspect.Get(), Near, Far);
}

void CSceneCamera::GetRight(D3DXVECTOR3* out) const
{
    const D3DXVECTOR3 look = LookAt.vCurrent - Position.vCurrent;
    D3DXVec3Cross(out, &Up, &look);
}

void CSceneCamera::ChangePosition(int mode, float x, float y, float z, int frames, float p1, float p2, float p3)
{
    ChangeInterpolator(Position, mode, D3DXVECTOR3(x, y, z), frames, p1, p2, p3);
}

void CSceneCamera::ChangeLookAt(int mode, float x, float y, float z, int frames, float p1, float p2, float p3)
{
    ChangeInterpolator(LookAt, mode, D3DXVECTOR3(x, y, z), frames, p1, p2, p3);
}

void CSceneCamera::ChangeRollAngle(int mode, float angle, int frames, float p1, float p2, float p3)
{
    ChangeInterpolator(RollAngle, mode, angle, frames, p1, p2, p3);
}

void CSceneCamera::ChangeFov(int mode, float fov, int frames, float p1, float p2, float p3)
{
    ChangeInterpolator(Fov, mode, fov, frames, p1, p2, p3);
}

void CSceneCamera::ChangeAspect(int mode, float aspect, int frames, float p1, float p2, float p3)
{
    ChangeInterpolator(Aspect, mode, aspect, frames, p1, p2, p3);
}
