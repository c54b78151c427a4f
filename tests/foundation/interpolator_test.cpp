#include <gtest/gtest.h>

#include <cmath>

#include "foundation/colors.h"
#include "foundation/interpolator.h"
#include "support/testutil.h"

namespace {

template <class T>
T& Tick(T& interpolator, int n)
{
    for (int i = 0; i < n; ++i) interpolator.Update();
    return interpolator;
}

// The value after each of n updates.
std::vector<float> Values(CInterpolatorFloat& f, int n)
{
    std::vector<float> out;
    for (int i = 0; i < n; ++i) out.push_back(Tick(f, 1).Get());
    return out;
}

}  // namespace

TEST(InterpolatorFloat, LinearMoveLandsOnItsLastFrameSetEndsItAndSmoothMoveStopsWhereItIs)
{
    CInterpolatorFloat f;
    f.StartLinear(0.0f, 10.0f, 4);
    EXPECT_EQ(Tick(f, 1).fVelocity, 2.5f);
    EXPECT_EQ((std::pair{Tick(f, 3).Get(), f.IsRunning()}), (std::pair{10.0f, true}));
    EXPECT_EQ((std::pair{Tick(f, 1).fVelocity, f.IsRunning()}), (std::pair{0.0f, false}));

    f.StartLinear(0.1f, 0.7f, 3);
    EXPECT_EQ(Values(f, 2), (std::vector<float>{0.3f, 0.5f}));  // not 0.29999998 and 0.49999997

    // No frames: the first update already finds the move over, and the value never moves.
    f.StartLinear(1.0f, 5.0f, 0);
    EXPECT_EQ((std::pair{Tick(f, 1).Get(), f.IsRunning()}), (std::pair{1.0f, false}));

    // Set during a move ends it at the next update; a fresh one runs for ever.
    f.StartLinear(0.0f, 10.0f, 10);
    f.Update();
    EXPECT_EQ((std::pair{f.Set(42.0f), f.IsRunning()}), (std::pair{42.0f, true}));
    EXPECT_EQ((std::pair{Tick(f, 1).Get(), f.IsRunning()}), (std::pair{42.0f, false}));
    CInterpolatorFloat fresh;
    EXPECT_TRUE(Tick(fresh, 10).IsRunning());

    // A smooth move: the acceleration limit, then the speed limit; out of frames short of the
    // target it stays there, it is not snapped; towards a lower target the limits apply the
    // other way.
    f.StartSmooth(0.0f, 100.0f, 4, 0.1f, 1.0f, 0.5f);
    EXPECT_EQ(Values(f, 5), (std::vector<float>{0.5f, 1.5f, 2.5f, 3.5f, 3.5f}));
    f.StartSmooth(10.0f, 0.0f, 100, 0.5f, 2.0f, 1.5f);
    EXPECT_EQ(Tick(f, 2).Get(), 6.5f);
}

TEST(InterpolatorColor, LinearAndSmoothMovesLandOnTheirTarget)
{
    CInterpolatorColor c;
    c.StartLinear(D3DXCOLOR(0, 0, 0, 1), D3DXCOLOR(1, 0.5f, 0, 0), 4);
    EXPECT_EQ(Tick(c, 1).Get(), D3DXCOLOR(0.25f, 0.125f, 0, 0.75f));
    EXPECT_EQ((std::pair{Tick(c, 3).Get(), c.IsRunning()}), (std::pair{D3DXCOLOR(1, 0.5f, 0, 0), true}));
    EXPECT_FALSE(Tick(c, 1).IsRunning());

    c.StartLinear(COLOR_RED, COLOR_BLUE, 0);  // no frames: no step computed, the target at once
    EXPECT_TRUE(std::isfinite(c.clDelta.r));
    EXPECT_EQ(Tick(c, 1).Get(), COLOR_BLUE);

    c.StartSmooth(D3DXCOLOR(0, 0, 0, 1), D3DXCOLOR(1, 1, 1, 1), 3, 0.5f);
    EXPECT_EQ(Tick(c, 2).Get(), D3DXCOLOR(0.75f, 0.75f, 0.75f, 1));
    EXPECT_EQ(Tick(c, 1).Get(), COLOR_WHITE);
}

// Linear moves land on the last frame and no frames land at once; Set is idle afterwards and
// keeps counting as running; SetCurrent moves only the point.
TEST(InterpolatorPoints, LinearMovesLandOnTheLastFrameAndNoFramesLandAtOnce)
{
    CInterpolator2D p;
    p.StartLinear(0, 0, 10, 20, 4);
    EXPECT_EQ(Tick(p, 1).vCurrent, D3DXVECTOR2(2.5f, 5));
    EXPECT_EQ(Tick(p, 3).vCurrent, D3DXVECTOR2(10, 20));
    p.StartLinear(1, 1, 5, 5, 0);
    EXPECT_TRUE(std::isfinite(p.vVelocity.x));
    EXPECT_EQ(Tick(p, 1).vCurrent, D3DXVECTOR2(5, 5));

    CInterpolator3D q;
    q.StartLinear(0, 0, 0, 3, 6, 9, 0);
    EXPECT_TRUE(std::isfinite(q.vVelocity.x));
    EXPECT_EQ(Tick(q, 1).vCurrent, D3DXVECTOR3(3, 6, 9));
    q.Set(4, 5, 6);
    EXPECT_EQ((std::pair{Tick(q, 3).vCurrent, q.IsRunning()}), (std::pair{D3DXVECTOR3(4, 5, 6), true}));

    // After a linear move has shown its last frame it has ended: a point set then sticks. During
    // a linear move the move goes on from a point set and still lands on its target.
    p.StartLinear(0, 0, 10, 0, 2);
    Tick(p, 2).SetCurrent(50, 60);
    EXPECT_EQ((std::pair{Tick(p, 2).vCurrent, p.IsRunning()}), (std::pair{D3DXVECTOR2(50, 60), false}));
    p.StartLinear(0, 0, 0, 40, 4);
    Tick(p, 1).SetCurrent(100, 10);
    EXPECT_EQ(Tick(p, 1).vCurrent, D3DXVECTOR2(100, 20));
    EXPECT_EQ(Tick(p, 2).vCurrent, D3DXVECTOR2(0, 40));
}

// The acceleration's length is limited, not each part; a new smooth move begins with the
// velocity the last one left; the 2D spring goes on past the frames, the 3D one snaps at the end.
// Limits that are not positive are reported and hold the point still.
TEST(InterpolatorPoints, SmoothMovesLimitTheLengthAndOnly3DSnapsAtTheEnd)
{
    testutil::BoxCapture boxes;
    CInterpolator2D p;
    p.StartSmooth(0, 0, 30, 40, 10, 0.1f, 2.0f, 1.0f);
    p.Update();
    EXPECT_FLOAT_EQ(p.vVelocity.x, 0.6f);
    EXPECT_FLOAT_EQ(p.vVelocity.y, 0.8f);
    const D3DXVECTOR2 carried = p.vVelocity;
    p.StartSmooth(0, 0, 100, 0, 2, 0.1f, 1.0f, 0.5f);
    EXPECT_EQ(p.vVelocity, carried);
    p.vVelocity = D3DXVECTOR2(0, 0);
    EXPECT_EQ((std::pair{Tick(p, 4).vCurrent, p.IsRunning()}), (std::pair{D3DXVECTOR2(3.5f, 0), false}));

    CInterpolator3D q;
    q.StartSmooth(0, 0, 0, 100, 0, 0, 10, 0.1f, 1.0f, 0.5f);
    EXPECT_EQ(Tick(q, 9).vCurrent, D3DXVECTOR3(8.5f, 0, 0));
    EXPECT_EQ(Tick(q, 1).vCurrent, D3DXVECTOR3(100, 0, 0));

    // Limits that are not positive are reported and hold the point still (no division by a zero
    // length).
    p.StartSmooth(1, 2, 5, 5, 10, 0.5f, 0.0f, 1.0f);
    p.StartSmooth(5, 5, 5, 5, 10, 0.5f, 1.0f, 0.0f);  // at rest on the target
    EXPECT_EQ((std::pair{Tick(p, 1).vCurrent, p.vVelocity}), (std::pair{D3DXVECTOR2(5, 5), D3DXVECTOR2(0, 0)}));
    q.StartSmooth(0, 0, 0, 9, 9, 9, 10, 0.5f, -1.0f, -1.0f);
    EXPECT_EQ(Tick(q, 1).vCurrent, D3DXVECTOR3(0, 0, 0));
    const std::string speed = "global|插值器的最大速度只能为正", accel = "global|插值器的最大加速度只能为正";
    EXPECT_EQ(boxes.Captioned(), (testutil::Strings{speed, accel, speed, accel}));
}
