// A unit: one member of a formation, a 3D object of its type that its own script threads move on
// the ground plane, raise and turn. While a unit updates it is g_CurrentUnit, the unit the
// "Unit." script functions and the "Unit…" variables act on.
#pragma once

#include "foundation/interpolator.h"
#include "foundation/objectbase.h"
#include "platform/d3dx9math.h"
#include "script/scriptrunner.h"

class CUnitData;
class CUnitFormation;

class CUnit : public CObject {
public:
    bool bAlive = false;
    bool bAutoFire = false;
    bool bAllowCommand = false;
    CUnitData* pData = nullptr;
    float fStoredValue = 0.0f;
    int nFrame = 0;            // ticks updated while alive
    CInterpolator2D mover;     // x is the world x, y the world z
    CInterpolatorFloat posY;   // height
    CInterpolatorFloat angleY;  // radians about each axis
    CInterpolatorFloat angleZ;
    CInterpolatorFloat angleX;
    CInterpolatorColor colour;  // animated, not drawn
    CScriptRunner runner;
    CUnitFormation* pFormation = nullptr;
    D3DXMATRIX matWorld;  // the identity until the first update

    CUnit();
    CUnit(const CUnit&) = default;
    CUnit& operator=(const CUnit&) = default;
    // A unit that goes while it is current is forgotten as current, so nothing points at it.
    ~CUnit();

    // Alive, with its type's scripts and its "main" thread given (x, z) as input0 and input1. The
    // unit itself stays where it is until its script moves it.
    void Start(CUnitFormation* owner, CUnitData* data, float x, float z);
    void Stop();
    void Update();
    void Render();
    void UpdateWorldMatrix();

    // Mode 0 at once, 1 linear over frames ticks, 2 smooth; any other mode does nothing.
    void MoveXZ(int mode, float x, float z, int frames, float gain, float maxSpeed, float maxAccel);
    void MoveY(int mode, float y, int frames, float gain, float maxSpeed, float maxAccel);
    void RotateAroundX(int mode, float angle, int frames, float gain, float maxSpeed, float maxAccel);
    void RotateAroundY(int mode, float angle, int frames, float gain, float maxSpeed, float maxAccel);
    void RotateAroundZ(int mode, float angle, int frames, float gain, float maxSpeed, float maxAccel);
    void ChangeColor(int mode, const D3DXCOLOR& target, int frames, float factor);

    // Restart the "OnMove" (or "OnSmallMove") thread with (x, z); a type without that script gets
    // the default smooth move instead.
    void OnMove(float x, float z);
    void OnSmallMove(float x, float z);

    float GetX() const { return mover.vCurrent.x; }
    float GetZ() const { return mover.vCurrent.y; }
    float GetY() const { return posY.Get(); }
    float GetAngleX() const { return angleX.Get(); }
    float GetAngleY() const { return angleY.Get(); }
    float GetAngleZ() const { return angleZ.Get(); }
    float GetStoredValue() const { return fStoredValue; }
    // The stored value per point of armour; 0 without a type or armour.
    float GetStoredPerArmor() const;

private:
    void Order(const std::string& name, float x, float z);
};

extern CUnit* g_CurrentUnit;

// A runner that goes while it is current is forgotten as current, with its thread.
void ForgetRunner(const CScriptRunner& runner);
