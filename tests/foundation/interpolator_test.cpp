#include <gtest/gtest.h>

#include <cmath>

#include "foundation/colors.h"
#include "foundation/interpolator.h"
#include "support/testutil.h"

namespace {

template <class T>
T& Tick(T& interpolator, int n)
{
    for (int i = 0; i < n; ++i)
        interpolator.Update();
    return interpolator;
}

}  // namespace

TEST(InterpolatorFloat, LinearMoveLandsOnItsLastFrameInDoublePrecision)
{
    CInterpolatorFloat f;
    f.StartLinear(0.0f, 10.0f, 4);
    EXPECT_EQ(Tick(f, 1).fVelocity, 2.5f);
    EXPECT_EQ(Tick(f, 3).Get(), 10.0f);
    EXPECT_TRUE(f.IsRunning());
    EXPECT_EQ(Tick(f, 1).fVelocity, 0.0f);
    EXPECT_FALSE(f.IsRunning());

    f.StartLinear(0.1f, 0.7f, 3);
    EXPECT_EQ(Tick(f, 1).Get(), 0.3f);  // single precision would give 0.29999998
    EXPECT_EQ(Tick(f, 1).Get(), 0.5f);  // and 0.49999997

    // No frames: the first update already finds the move over, and the value never moves.
    f.StartLinear(1.0f, 5.0f, 0);
    EXPECT_EQ(Tick(f, 1).Get(), 1.0f);
    EXPECT_FALSE(f.IsRunning());
}

TEST(InterpolatorFloat, SmoothMoveIsLimitedAndStopsWhereItIs)
{
    CInterpolatorFloat f;
    f.StartSmooth(0.0f, 100.0f, 4, 0.1f, 1.0f, 0.5f);
    EXPECT_EQ(Tick(f, 1).Get(), 0.5f);  // the acceleration limit
    EXPECT_EQ(Tick(f, 3).Get(), 3.5f);  // then the speed limit
    // Out of frames short of the target: it stays there, it is not snapped.
    EXPECT_EQ(Tick(f, 1).Get(), 3.5f);
    // Towards a lower target the limits apply the other way.
    f.StartSmooth(10.0f, 0.0f, 100, 0.5f, 2.0f, 1.5f);
    EXPECT_EQ(Tick(f, 2).Get(), 6.5f);
}

TEST(InterpolatorFloat, AFreshOneRunsForeverAndSetEndsAtTheNextUpdate)
{
    CInterpolatorFloat f;
    EXPECT_TRUE(Tick(f, 10).IsRunning());
    f.StartLinear(0.0f, 10.0f, 10);
    f.Update();
    EXPECT_EQ(f.Set(42.0f), 42.0f);
    EXPECT_TRUE(f.IsRunning());
    EXPECT_EQ(Tick(f, 1).Get(), 42.0f);
    EXPECT_FALSE(f.IsRunning());
}

TEST(InterpolatorColor, LinearAndSmoothMovesLandOnTheirTarget)
{
    CInterpolatorColor c;
    c.StartLinear(D3DXCOLOR(0, 0, 0, 1), D3DXCOLOR(1, 0.5f, 0, 0), 4);
    EXPECT_EQ(Tick(c, 1).Get(), D3DXCOLOR(0.25f, 0.125f, 0, 0.75f));
    EXPECT_EQ(Tick(c, 3).Get(), D3DXCOLOR(1, 0.5f, 0, 0));
    EXPECT_TRUE(c.IsRunning());
    EXPECT_FALSE(Tick(c, 1).IsRunning());

    c.StartLinear(COLOR_RED, COLOR_BLUE, 0);  // no frames: no step computed, the target at once
    EXPECT_TRUE(std::isfinite(c.clDelta.r));
    EXPECT_EQ(Tick(c, 1).Get(), COLOR_BLUE);

    c.StartSmooth(D3DXCOLOR(0, 0, 0, 1), D3DXCOLOR(1, 1, 1, 1), 3, 0.5f);
    EXPECT_EQ(Tick(c, 2).Get(), D3DXCOLOR(0.75f, 0.75f, 0.75f, 1));
    EXPECT_EQ(Tick(c, 1).Get(), COLOR_WHITE);
}

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
    // Set is idle afterwards and keeps counting as running.
    q.Set(4, 5, 6);
    EXPECT_EQ(Tick(q, 3).vCurrent, D3DXVECTOR3(4, 5, 6));
    EXPECT_TRUE(q.IsRunning());
}

TEST(InterpolatorPoints, SmoothMovesLimitTheLengthAndOnly3DSnapsAtTheEnd)
{
    testutil::BoxCapture boxes;
    CInterpolator2D p;
    p.StartSmooth(0, 0, 30, 40, 10, 0.1f, 2.0f, 1.0f);
    p.Update();
    EXPECT_FLOAT_EQ(p.vVelocity.x, 0.6f);  // the acceleration's length is limited, not each part
    EXPECT_FLOAT_EQ(p.vVelocity.y, 0.8f);
    const D3DXVECTOR2 carried = p.vVelocity;
    p.StartSmooth(0, 0, 100, 0, 2, 0.1f, 1.0f, 0.5f);
    EXPECT_EQ(p.vVelocity, carried) << "a new smooth move begins with the velocity the last one left";
    p.vVelocity = D3DXVECTOR2(0, 0);
    EXPECT_EQ(Tick(p, 4).vCurrent, D3DXVECTOR2(3.5f, 0)) << "the spring goes on past the frames";
    EXPECT_FALSE(p.IsRunning());

    CInterpolator3D q;
    q.StartSmooth(0, 0, 0, 100, 0, 0, 10, 0.1f, 1.0f, 0.5f);
    EXPECT_EQ(Tick(q, 9).vCurrent, D3DXVECTOR3(8.5f, 0, 0));
    EXPECT_EQ(Tick(q, 1).vCurrent, D3DXVECTOR3(100, 0, 0));
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Limits that are not positive are reported and hold the point still (no division by a zero
// length).
TEST(InterpolatorPoints, SmoothStartWithBadLimitsReportsAndHoldsStill)
{
    testutil::BoxCapture boxes;
    CInterpolator2D p;
    p.StartSmooth(1, 2, 5, 5, 10, 0.5f, 0.0f, 1.0f);
    p.StartSmooth(5, 5, 5, 5, 10, 0.5f, 1.0f, 0.0f);  // at rest on the target
    EXPECT_EQ(Tick(p, 1).vCurrent, D3DXVECTOR2(5, 5));
    EXPECT_EQ(p.vVelocity, D3DXVECTOR2(0, 0));
    CInterpolator3D q;
    q.StartSmooth(0, 0, 0, 9, 9, 9, 10, 0.5f, -1.0f, -1.0f);
    EXPECT_EQ(Tick(q, 1).vCurrent, D3DXVECTOR3(0, 0, 0));

    const std::string speed = "插值器的最大速度只能为正", accel = "插值器的最大加速度只能为正";
    ASSERT_EQ(boxes.Boxes().size(), 4u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "global");
    EXPECT_EQ(boxes.Boxes()[0].text, speed);
    EXPECT_EQ(boxes.Boxes()[1].text, accel);
    EXPECT_EQ(boxes.Boxes()[2].text, speed);
    EXPECT_EQ(boxes.Boxes()[3].text, accel);
}

TEST(InterpolatorPoints, SetCurrentMovesOnlyThePoint)
{
    CInterpolator2D p;
    // After a linear move has shown its last frame it has ended: a point set then sticks.
    p.StartLinear(0, 0, 10, 0, 2);
    Tick(p, 2).SetCurrent(50, 60);
    EXPECT_EQ(Tick(p, 2).vCurrent, D3DXVECTOR2(50, 60));
    EXPECT_FALSE(p.IsRunning());

    // During a linear move the move goes on from the new point and still lands on its target.
    p.StartLinear(0, 0, 0, 40, 4);
    Tick(p, 1).SetCurrent(100, 10);
    EXPECT_EQ(Tick(p, 1).vCurrent, D3DXVECTOR2(100, 20));
    EXPECT_EQ(Tick(p, 2).vCurrent, D3DXVECTOR2(0, 40));
}
