// Values that move towards a target once per tick, when their owner calls Update: at once,
// linearly over a number of ticks (frames), or smoothly under a gain with speed and
// acceleration limits. Each result is stored as a float as soon as it is computed, so the
// results are the same bits on every run.
#pragma once

#include "platform/d3dx9math.h"

enum EInterpolateMode {
    IM_NONE = 0,    // idle: Update does nothing
    IM_LINEAR = 1,
    IM_SMOOTH = 2,
};

class CInterpolatorFloat {
public:
    int nMode;
    float fCurrent;
    float fStart;
    float fTarget;
    float fMaxSpeed = 0.0f;
    float fMaxAccel = 0.0f;
    int nFrames;
    int nFrame;
    float fGain = 0.0f;
    float fVelocity;  // the change made by the last update

    CInterpolatorFloat() { Reset(); }

    // Idle, at 0, and counting as running for 999999 updates until a Set or a start.
    void Reset();
    // At once: the next update changes nothing and ends the running state.
    float Set(float v);
    void StartLinear(float from, float to, int frames);
    void StartSmooth(float from, float to, int frames, float gain, float maxSpeed, float maxAccel);
    void Update();

    float Get() const { return fCurrent; }
    bool IsRunning() const { return nFrame <= nFrames; }
};

class CInterpolatorColor {
public:
    int nMode = IM_NONE;
    D3DXCOLOR clCurrent;
    D3DXCOLOR clDelta;  // step per update of a linear move
    D3DXCOLOR clFrom;
    D3DXCOLOR clTarget;
    int nFrames = 0;
    int nFrame = 0;
    float fFactor = 0.0f;

    CInterpolatorColor();

    D3DXCOLOR Set(const D3DXCOLOR& col);
    // A move of n frames lands on the target on update n (0 or 1 frames: the first update).
    void StartLinear(const D3DXCOLOR& from, const D3DXCOLOR& to, int frames);
    void StartSmooth(const D3DXCOLOR& from, const D3DXCOLOR& to, int frames, float factor);
    void Update();

    D3DXCOLOR Get() const { return clCurrent; }
    bool IsRunning() const { return nFrame <= nFrames; }
    int GetFrame() const { return nFrame; }
    int GetFrameCount() const { return nFrames; }
};

// A point on a plane. A smooth move has no end: the point stays under the spring after its
// frames have run out. A linear move ends once it has shown its last frame, so a point set
// after that stays where it was set.
class CInterpolator2D {
public:
    int nMode = IM_NONE;
    D3DXVECTOR2 vStart;
    D3DXVECTOR2 vTarget;
    float fMaxSpeed = 0.0f;
    float fMaxAccel = 0.0f;
    int nFrames = 0;
    int nFrame = 0;
    float fFactor = 0.0f;
    D3DXVECTOR2 vCurrent;
    D3DXVECTOR2 vVelocity;

    // Moves only the current point: a running move goes on towards its target from there.
    void SetCurrent(float x, float y) { vCurrent = D3DXVECTOR2(x, y); }
    void StartLinear(float x0, float y0, float x1, float y1, int frames);
    // Reports a speed or acceleration limit that is not positive, and starts all the same; such
    // a move holds the point still.
    void StartSmooth(float x0, float y0, float x1, float y1, int frames, float factor, float maxSpeed,
                     float maxAccel);
    void Update();

    bool IsRunning() const { return nFrame <= nFrames; }
    int GetFrame() const { return nFrame; }
    int GetFrameCount() const { return nFrames; }
};

// A point in space. Unlike the 2D kind, a smooth move snaps to its target on its last frame.
class CInterpolator3D {
public:
    int nMode = IM_NONE;
    D3DXVECTOR3 vStart;
    D3DXVECTOR3 vTarget;
    float fMaxSpeed = 0.0f;
    float fMaxAccel = 0.0f;
    int nFrames = 0;
    int nFrame = 0;
    float fFactor = 0.0f;
    D3DXVECTOR3 vCurrent;
    D3DXVECTOR3 vVelocity;

    // At once; idle afterwards, and counted as running until the next start.
    void Set(float x, float y, float z);
    void StartLinear(float x0, float y0, float z0, float x1, float y1, float z1, int frames);
    void StartSmooth(float x0, float y0, float z0, float x1, float y1, float z1, int frames, float factor,
                     float maxSpeed, float maxAccel);
    void Update();

    bool IsRunning() const { return nFrame <= nFrames; }
    int GetFrame() const { return nFrame; }
    int GetFrameCount() const { return nFrames; }
};

// Moves an interpolator from its current value towards a target by the scripts' mode rule: 0 at
// once, 1 linearly over `frames` ticks, 2 smoothly (gain or factor, and for single values and
// points the maximum speed and acceleration); any other mode changes nothing.
void ChangeInterpolator(CInterpolatorFloat& value, int mode, float target, int frames, float gain, float maxSpeed,
                        float maxAccel);
void ChangeInterpolator(CInterpolator3D& point, int mode, const D3DXVECTOR3& target, int frames, float gain,
                        float maxSpeed, float maxAccel);
void ChangeInterpolator(CInterpolatorColor& colour, int mode, const D3DXCOLOR& target, int frames, float factor);
