#include "world/unit.h"

#include "foundation/device.h"
#include "media/object3d.h"
#include "world/unitdata.h"

CUnit* g_CurrentUnit = nullptr;

namespace {

// The thread and script names of the unit's own orders, built once rather than at every order.
const std::string kMain = "main";
const std::string kOnMove = "OnMove";
const std::string kOnSmallMove = "OnSmallMove";

// The move a unit makes by itself when its type has no script for an order.
constexpr int kDefaultMoveFrames = 1000;
constexpr float kDefaultMoveGain = 0.3f;
constexpr float kDefaultMoveAccel = 0.1f;

}  // namespace

CUnit::CUnit()
{
    strClassName = "Unit";
    posY.Set(0.0f);
    angleY.Set(0.0f);
    angleZ.Set(0.0f);
    angleX.Set(0.0f);
    colour.Set(D3DXCOLOR(1.0f, 1.0f, 0.0f, 1.0f));
    runner.Enable();
    D3DXMatrixIdentity(&matWorld);
}

CUnit::~CUnit()
{
    if (g_CurrentUnit == this)
        g_CurrentUnit = nullptr;
    ForgetRunner(runner);
}

void ForgetRunner(const CScriptRunner& runner)
{
    if (g_CurrentRunner != &runner)
        return;
    g_CurrentRunner = nullptr;
    g_CurrentThread = nullptr;
}

void CUnit::Start(CUnitFormation* owner, CUnitData* data, float x, float z)
{
    pFormation = owner;
    pData = data;
    bAlive = bAutoFire = bAllowCommand = true;
    runner.pLibrary = data ? &data->scripts : nullptr;
    const float inputs[2] = {x, z};
    runner.StartThread(kMain, kMain, inputs, 2);
    runner.Enable();
}

void CUnit::Stop()
{
    bAlive = bAutoFire = bAllowCommand = false;
    runner.StopAll();
}

void CUnit::Update()
{
    if (!bAlive)
        return;
    g_CurrentUnit = this;
    ++nFrame;
    runner.Update();
    mover.Update();
    posY.Update();
    angleZ.Update();
    angleY.Update();
    angleX.Update();
    colour.Update();
    UpdateWorldMatrix();
}

// Turned about y, then x, then z, then scaled, then moved (row vectors, as in D3DX).
void CUnit::UpdateWorldMatrix()
{
    const float s = pData ? pData->objscale : 0.0f;
    D3DXMATRIX rotY, rotX, rotZ, scale, move;
    D3DXMatrixRotationY(&rotY, angleY.Get());
    D3DXMatrixRotationX(&rotX, angleX.Get());
    D3DXMatrixRotationZ(&rotZ, angleZ.Get());
    D3DXMatrixScaling(&scale, s, s, s);
    D3DXMatrixTranslation(&move, mover.vCurrent.x, posY.Get(), mover.vCurrent.y);
    D3DXMatrixMultiply(&matWorld, &rotY, &rotX);
    D3DXMatrixMultiply(&matWorld, &matWorld, &rotZ);
    D3DXMatrixMultiply(&matWorld, &matWorld, &scale);
    D3DXMatrixMultiply(&matWorld, &matWorld, &move);
}

void CUnit::Render()
{
    if (!bAlive || !pData || !pData->pObj3D || !g_pDevice)
        return;
    g_pDevice->SetTransform(D3DTS_WORLD, &matWorld);
    pData->pObj3D->Render();
}

void CUnit::MoveXZ(int mode, float x, float z, int frames, float gain, float maxSpeed, float maxAccel)
{
    const D3DXVECTOR2& from = mover.vCurrent;
    switch (mode) {
    case IM_NONE: mover.SetCurrent(x, z); break;
    case IM_LINEAR: mover.StartLinear(from.x, from.y, x, z, frames); break;
    case IM_SMOOTH: mover.StartSmooth(from.x, from.y, x, z, frames, gain, maxSpeed, maxAccel); break;
    default: break;
    }
}

void CUnit::MoveY(int mode, float y, int frames, float gain, float maxSpeed, float maxAccel)
{
    ChangeInterpolator(posY, mode, y, frames, gain, maxSpeed, maxAccel);
}

void CUnit::RotateAroundX(int mode, float angle, int frames, float gain, float maxSpeed, float maxAccel)
{
    ChangeInterpolator(angleX, mode, angle, frames, gain, maxSpeed, maxAccel);
}

void CUnit::RotateAroundY(int mode, float angle, int frames, float gain, float maxSpeed, float maxAccel)
{
    ChangeInterpolator(angleY, mode, angle, frames, gain, maxSpeed, maxAccel);
}

void CUnit::RotateAroundZ(int mode, float angle, int frames, float gain, float maxSpeed, float maxAccel)
{
    ChangeInterpolator(angleZ, mode, angle, frames, gain, maxSpeed, maxAccel);
}

void CUnit::ChangeColor(int mode, const D3DXCOLOR& target, int frames, float factor)
{
    ChangeInterpolator(colour, mode, target, frames, factor);
}

void CUnit::OnMove(float x, float z) { Order(kOnMove, x, z); }

void CUnit::OnSmallMove(float x, float z) { Order(kOnSmallMove, x, z); }

// The script's thread starts from its first line; without such a script (the runtime has
// reported it) the unit makes the default smooth move itself.
void CUnit::Order(const std::string& name, float x, float z)
{
    runner.StopThread(name);
    const float inputs[2] = {x, z};
    script::CScriptThread* thread = runner.StartThread(name, name, inputs, 2);
    if (thread && thread->TopFunction())
        return;
    const float speed = pData ? pData->speed : 0.0f;
    MoveXZ(IM_SMOOTH, x, z, kDefaultMoveFrames, kDefaultMoveGain, speed, kDefaultMoveAccel);
}

float CUnit::GetStoredPerArmor() const
{
    if (!pData || pData->armor == 0.0f)
        return 0.0f;
    return fStoredValue / pData->armor;
}
