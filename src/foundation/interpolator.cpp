#include "foundation/interpolator.h"

#include <algorithm>

#include "foundation/colors.h"
#include "foundation/geometry.h"
#include "foundation/objectbase.h"

namespace {

float Length(const D3DXVECTOR2& v) { return Length2D(v.x, v.y); }
float Length(const D3DXVECTOR3& v) { return Length3D(v.x, v.y, v.z); }

// The step of a linear move of the given frames. A move of no frames lands on its first
// update without using the step, so none is computed.
template <class V>
V LinearStep(const V& from, const V& to, int frames)
{
    return frames > 0 ? (to - from) / static_cast<float>(frames) : V();
}

// One tick of a linear point move: a step on every frame but the last, which lands on the
// target and stops the point.
template <class V>
void LinearPointUpdate(int& frame, int frames, V& current, V& velocity, const V& target)
{
    ++frame;
    if (frame < frames) {
        current += velocity;
    } else {
        current = target;
        velocity = V();
    }
}

// One tick of a smooth move without moving the point: the spring's pull, less the velocity,
// limited to maxAccel, changes the velocity, which is then limited to maxSpeed. A limit that
// is not positive allows no motion at all (and would otherwise divide by a zero length).
template <class V>
void SmoothVelocity(V& velocity, const V& current, const V& target, float factor, float maxSpeed,
                    float maxAccel)
{
    if (!(maxAccel > 0.0f) || !(maxSpeed > 0.0f)) {
        velocity = V();
        return;
    }
    V accel = (target - current) * factor - velocity;
    const float accelLength = Length(accel);
    if (accelLength >= maxAccel)
        accel = accel / accelLength * maxAccel;
    velocity += accel;
    const float speed = Length(velocity);
    if (speed > maxSpeed)
        velocity = maxSpeed / speed * velocity;
}

// The reports of a smooth start with limits that are not positive; the move starts all the same.
void CheckSmoothLimits(float maxSpeed, float maxAccel)
{
    if (maxSpeed <= 0.0f)
        GlobalError("插值器的最大速度只能为正");
    if (maxAccel <= 0.0f)
        GlobalError("插值器的最大加速度只能为正");
}

}  // namespace

void CInterpolatorFloat::Reset()
{
    nMode = IM_NONE;
    fCurrent = fStart = fTarget = fVelocity = 0.0f;
    nFrames = 999999;
    nFrame = 0;
}

float CInterpolatorFloat::Set(float v)
{
    nMode = IM_LINEAR;
    fCurrent = fStart = fTarget = v;
    fVelocity = 0.0f;
    nFrames = 0;
    nFrame = 0;
    return v;
}

void CInterpolatorFloat::StartLinear(float from, float to, int frames)
{
    nMode = IM_LINEAR;
    fCurrent = fStart = from;
    fTarget = to;
    fVelocity = 0.0f;
    nFrames = frames;
    nFrame = 0;
}

void CInterpolatorFloat::StartSmooth(float from, float to, int frames, float gain, float maxSpeed,
                                     float maxAccel)
{
    nMode = IM_SMOOTH;
    fCurrent = fStart = from;
    fTarget = to;
    fVelocity = 0.0f;
    nFrames = frames;
    fGain = gain;
    nFrame = 0;
    fMaxSpeed = maxSpeed;
    fMaxAccel = maxAccel;
}

void CInterpolatorFloat::Update()
{
    ++nFrame;
    if (nFrame > nFrames) {
        fVelocity = 0.0f;
        return;
    }
    if (nMode == IM_LINEAR) {
        // In double, so that the last frame lands exactly on the target.
        const double next = static_cast<double>(fStart) +
                            static_cast<double>(nFrame) * (static_cast<double>(fTarget) - static_cast<double>(fStart)) /
                                static_cast<double>(nFrames);
        const float value = static_cast<float>(next);
        fVelocity = value - fCurrent;
        fCurrent = value;
    } else if (nMode == IM_SMOOTH) {
        const float pull = (fTarget - fCurrent) * fGain;
        float accel = pull - fVelocity;
        if (accel > fMaxAccel)
            accel = fMaxAccel;
        else if (accel < -fMaxAccel)
            accel = -fMaxAccel;
        fVelocity += accel;
        if (fVelocity > fMaxSpeed)
            fVelocity = fMaxSpeed;
        else if (fVelocity < -fMaxSpeed)
            fVelocity = -fMaxSpeed;
        fCurrent += fVelocity;
    }
}

CInterpolatorColor::CInterpolatorColor() : clCurrent(COLOR_BLACK), clFrom(COLOR_BLACK), clTarget(COLOR_BLACK) {}

D3DXCOLOR CInterpolatorColor::Set(const D3DXCOLOR& col)
{
    nMode = IM_LINEAR;
    clCurrent = clFrom = clTarget = col;
    nFrame = 0;
    nFrames = 0;
    return col;
}

void CInterpolatorColor::StartLinear(const D3DXCOLOR& from, const D3DXCOLOR& to, int frames)
{
    nMode = IM_LINEAR;
    clCurrent = clFrom = from;
    clTarget = to;
    nFrame = 0;
    nFrames = frames;
    clDelta = LinearStep(from, to, frames);
}

void CInterpolatorColor::StartSmooth(const D3DXCOLOR& from, const D3DXCOLOR& to, int frames, float factor)
{
    nMode = IM_SMOOTH;
    clCurrent = clFrom = from;
    clTarget = to;
    nFrame = 0;
    fFactor = factor;
    nFrames = frames;
}

void CInterpolatorColor::Update()
{
    if (nMode != IM_LINEAR && nMode != IM_SMOOTH)
        return;
    ++nFrame;
    if (nFrame >= nFrames)
        clCurrent = clTarget;
    else if (nMode == IM_LINEAR)
        clCurrent += clDelta;
    else
        clCurrent += (clTarget - clCurrent) * fFactor;
}

void CInterpolator2D::StartLinear(float x0, float y0, float x1, float y1, int frames)
{
    nMode = IM_LINEAR;
    vStart = vCurrent = D3DXVECTOR2(x0, y0);
    vTarget = D3DXVECTOR2(x1, y1);
    nFrame = 0;
    nFrames = frames;
    vVelocity = LinearStep(vStart, vTarget, frames);
}

void CInterpolator2D::StartSmooth(float x0, float y0, float x1, float y1, int frames, float factor,
                                  float maxSpeed, float maxAccel)
{
    nMode = IM_SMOOTH;
    vStart = vCurrent = D3DXVECTOR2(x0, y0);
    vTarget = D3DXVECTOR2(x1, y1);
    nFrame = 0;
    fFactor = factor;
    fMaxSpeed = maxSpeed;
    fMaxAccel = maxAccel;
    nFrames = frames;
    CheckSmoothLimits(maxSpeed, maxAccel);
}

// A linear move lands on its target on its last frame (the first update for a move of no
// frames) and ends at the update after it, without touching the point: a point set once the
// last frame was shown is not put back on the old target.
void CInterpolator2D::Update()
{
    if (nMode == IM_LINEAR) {
        if (nFrame >= std::max(nFrames, 1)) {
            ++nFrame;
            nMode = IM_NONE;
        } else {
            LinearPointUpdate(nFrame, nFrames, vCurrent, vVelocity, vTarget);
        }
    } else if (nMode == IM_SMOOTH) {
        SmoothVelocity(vVelocity, vCurrent, vTarget, fFactor, fMaxSpeed, fMaxAccel);
        vCurrent += vVelocity;
        ++nFrame;
    }
}

void CInterpolator3D::Set(float x, float y, float z)
{
    nMode = IM_NONE;
    vCurrent = D3DXVECTOR3(x, y, z);
    nFrame = 0;
    nFrames = 0;
}

void CInterpolator3D::StartLinear(float x0, float y0, float z0, float x1, float y1, float z1, int frames)
{
    nMode = IM_LINEAR;
    vStart = vCurrent = D3DXVECTOR3(x0, y0, z0);
    vTarget = D3DXVECTOR3(x1, y1, z1);
    nFrame = 0;
    nFrames = frames;
    vVelocity = LinearStep(vStart, vTarget, frames);
}

void CInterpolator3D::StartSmooth(float x0, float y0, float z0, float x1, float y1, float z1, int frames,
                                  float factor, float maxSpeed, float maxAccel)
{
    nMode = IM_SMOOTH;
    vStart = vCurrent = D3DXVECTOR3(x0, y0, z0);
    vTarget = D3DXVECTOR3(x1, y1, z1);
    nFrame = 0;
    fFactor = factor;
    fMaxSpeed = maxSpeed;
    fMaxAccel = maxAccel;
    CheckSmoothLimits(maxSpeed, maxAccel);
    nFrames = frames;
}

void CInterpolator3D::Update()
{
    if (nMode == IM_LINEAR) {
        LinearPointUpdate(nFrame, nFrames, vCurrent, vVelocity, vTarget);
    } else if (nMode == IM_SMOOTH) {
        ++nFrame;
        if (nFrame >= nFrames) {
            vCurrent = vTarget;
        } else {
            SmoothVelocity(vVelocity, vCurrent, vTarget, fFactor, fMaxSpeed, fMaxAccel);
            vCurrent += vVelocity;
        }
    }
}

void ChangeInterpolator(CInterpolatorFloat& value, int mode, float target, int frames, float gain, float maxSpeed,
                        float maxAccel)
{
    if (mode == IM_NONE)
        value.Set(target);
    else if (mode == IM_LINEAR)
        value.StartLinear(value.Get(), target, frames);
    else if (mode == IM_SMOOTH)
        value.StartSmooth(value.Get(), target, frames, gain, maxSpeed, maxAccel);
}

void ChangeInterpolator(CInterpolator3D& point, int mode, const D3DXVECTOR3& target, int frames, float gain,
                        float maxSpeed, float maxAccel)
{
    const D3DXVECTOR3& cur = point.vCurrent;
    if (mode == IM_NONE)
        point.Set(target.x, target.y, target.z);
    else if (mode == IM_LINEAR)
        point.StartLinear(cur.x, cur.y, cur.z, target.x, target.y, target.z, frames);
    else if (mode == IM_SMOOTH)
        point.StartSmooth(cur.x, cur.y, cur.z, target.x, target.y, target.z, frames, gain, maxSpeed, maxAccel);
}

void ChangeInterpolator(CInterpolatorColor& colour, int mode, const D3DXCOLOR& target, int frames, float factor)
{
    if (mode == IM_NONE)
        colour.Set(target);
    else if (mode == IM_LINEAR)
        colour.StartLinear(colour.Get(), target, frames);
    else if (mode == IM_SMOOTH)
        colour.StartSmooth(colour.Get(), target, frames, factor);
}
