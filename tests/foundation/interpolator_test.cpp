#include <gtest/gtest.h>

#include <cmath>

#include "foundation/colors.h"
#include "foundation/interpolator.h"
#include "support/testutil.h"

TEST(InterpolatorFloat, LinearMoveLandsOnItsLastFrame)
{
    CInterpolatorFloat f;
    f.StartLinear(0.0f, 10.0f, 4);
    const float expected[] = {2.5f, 5.0f, 7.5f, 10.0f};
    for (float want : expected) {
        f.Update();
        EXPECT_EQ(f.Get(), want);
        EXPECT_EQ(f.fVelocity, 2.5f);
        EXPECT_TRUE(f.IsRunning());
    }
    f.Update();
    EXPECT_EQ(f.Get(), 10.0f);
    EXPECT_EQ(f.fVelocity, 0.0f);
    EXPECT_FALSE(f.IsRunning());

    // Steps are taken in double precision: single precision would give 0.29999998 and 0.49999997.
    f.StartLinear(0.1f, 0.7f, 3);
    f.Update();
    EXPECT_EQ(f.Get(), 0.3f);
    f.Update();
    EXPECT_EQ(f.Get(), 0.5f);
    f.Update();
    EXPECT_EQ(f.Get(), 0.7f);
    f.StartLinear(100.1f, -3.3f, 9);
    for (int i = 0; i < 9; ++i)
        f.Update();
    EXPECT_EQ(f.Get(), -3.3f);

    // No frames: the first update already finds the move over, and the value never moves.
    f.StartLinear(1.0f, 5.0f, 0);
    EXPECT_TRUE(f.IsRunning());
    f.Update();
    EXPECT_EQ(f.Get(), 1.0f);
    EXPECT_FALSE(f.IsRunning());
}

TEST(InterpolatorFloat, SmoothMoveIsLimitedAndStopsWhereItIs)
{
    CInterpolatorFloat f;
    f.StartSmooth(0.0f, 100.0f, 4, 0.1f, 1.0f, 0.5f);
    f.Update();
    EXPECT_EQ(f.Get(), 0.5f);
    EXPECT_EQ(f.fVelocity, 0.5f);
    f.Update();
    EXPECT_EQ(f.Get(), 1.5f);
    EXPECT_EQ(f.fVelocity, 1.0f);
    f.Update();
    f.Update();
    EXPECT_EQ(f.Get(), 3.5f);
    EXPECT_TRUE(f.IsRunning());
    // Out of frames short of the target: it stays there, it is not snapped.
    f.Update();
    EXPECT_EQ(f.Get(), 3.5f);
    EXPECT_EQ(f.fVelocity, 0.0f);
    EXPECT_FALSE(f.IsRunning());

    // Towards a lower target the limits apply the other way.
    f.StartSmooth(10.0f, 0.0f, 100, 0.5f, 2.0f, 1.5f);
    f.Update();
    EXPECT_EQ(f.Get(), 8.5f);
    f.Update();
    EXPECT_EQ(f.Get(), 6.5f);
}

TEST(InterpolatorFloat, SetAndFreshStates)
{
    CInterpolatorFloat fresh;
    EXPECT_EQ(fresh.Get(), 0.0f);
    EXPECT_EQ(fresh.nFrames, 999999);
    for (int i = 0; i < 10; ++i)
        fresh.Update();
    EXPECT_EQ(fresh.Get(), 0.0f);
    EXPECT_TRUE(fresh.IsRunning());

    CInterpolatorFloat f;
    f.StartLinear(0.0f, 10.0f, 10);
    f.Update();
    EXPECT_EQ(f.Set(42.0f), 42.0f);
    EXPECT_TRUE(f.IsRunning());
    f.Update();
    EXPECT_EQ(f.Get(), 42.0f);
    EXPECT_EQ(f.fVelocity, 0.0f);
    EXPECT_FALSE(f.IsRunning());
}

TEST(InterpolatorColor, LinearAndSmoothMoves)
{
    CInterpolatorColor c;
    EXPECT_EQ(c.Get(), COLOR_BLACK);
    c.Update();  // idle: nothing counts
    EXPECT_EQ(c.GetFrame(), 0);

    c.StartLinear(D3DXCOLOR(0, 0, 0, 1), D3DXCOLOR(1, 0.5f, 0, 0), 4);
    EXPECT_EQ(c.clDelta, D3DXCOLOR(0.25f, 0.125f, 0, -0.25f));
    c.Update();
    EXPECT_EQ(c.Get(), D3DXCOLOR(0.25f, 0.125f, 0, 0.75f));
    c.Update();
    c.Update();
    EXPECT_EQ(c.Get(), D3DXCOLOR(0.75f, 0.375f, 0, 0.25f));
    c.Update();
    EXPECT_EQ(c.Get(), D3DXCOLOR(1, 0.5f, 0, 0));
    EXPECT_TRUE(c.IsRunning());
    c.Update();
    EXPECT_FALSE(c.IsRunning());

    // One frame and no frames both land on the first update; no frames computes no step.
    c.StartLinear(COLOR_BLACK, COLOR_RED, 1);
    c.Update();
    EXPECT_EQ(c.Get(), COLOR_RED);
    c.StartLinear(COLOR_RED, COLOR_BLUE, 0);
    EXPECT_TRUE(std::isfinite(c.clDelta.r) && std::isfinite(c.clDelta.b));
    c.Update();
    EXPECT_EQ(c.Get(), COLOR_BLUE);

    c.StartSmooth(D3DXCOLOR(0, 0, 0, 1), D3DXCOLOR(1, 1, 1, 1), 3, 0.5f);
    c.Update();
    EXPECT_EQ(c.Get(), D3DXCOLOR(0.5f, 0.5f, 0.5f, 1));
    c.Update();
    EXPECT_EQ(c.Get(), D3DXCOLOR(0.75f, 0.75f, 0.75f, 1));
    c.Update();
    EXPECT_EQ(c.Get(), COLOR_WHITE);

    EXPECT_EQ(c.Set(COLOR_GREY), COLOR_GREY);
    EXPECT_TRUE(c.IsRunning());
    c.Update();
    EXPECT_EQ(c.Get(), COLOR_GREY);
    EXPECT_FALSE(c.IsRunning());
}

TEST(Interpolator2D, LinearMoveAndNoFrames)
{
    CInterpolator2D p;
    p.StartLinear(0, 0, 10, 20, 4);
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(2.5f, 5));
    p.Update();
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(7.5f, 15));
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(10, 20));
    EXPECT_EQ(p.vVelocity, D3DXVECTOR2(0, 0));

    p.StartLinear(1, 1, 5, 5, 0);
    EXPECT_TRUE(std::isfinite(p.vVelocity.x) && std::isfinite(p.vVelocity.y));
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(5, 5));
}

TEST(Interpolator2D, SmoothMoveFollowsTheSpringWithoutEnd)
{
    testutil::BoxCapture boxes;
    CInterpolator2D p;
    // Along one axis it behaves as the float kind.
    p.StartSmooth(0, 0, 100, 0, 2, 0.1f, 1.0f, 0.5f);
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(0.5f, 0));
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(1.5f, 0));
    p.Update();
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(3.5f, 0));
    EXPECT_FALSE(p.IsRunning());

    // The acceleration is limited by its length, not per component.
    p = CInterpolator2D();
    p.StartSmooth(0, 0, 30, 40, 10, 0.1f, 2.0f, 1.0f);
    p.Update();
    EXPECT_FLOAT_EQ(p.vVelocity.x, 0.6f);
    EXPECT_FLOAT_EQ(p.vVelocity.y, 0.8f);
    EXPECT_EQ(p.vCurrent, p.vVelocity);

    // A new smooth move begins with the velocity the last one left.
    const D3DXVECTOR2 carried = p.vVelocity;
    p.StartSmooth(0, 0, 0, 0, 10, 0.1f, 2.0f, 1.0f);
    EXPECT_EQ(p.vVelocity, carried);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(Interpolator2D, SmoothStartWithBadLimitsReportsAndHoldsStill)
{
    testutil::BoxCapture boxes;
    CInterpolator2D p;
    p.StartSmooth(0, 0, 5, 0, 10, 0.5f, 2.0f, 1.0f);
    p.Update();
    ASSERT_NE(p.vVelocity, D3DXVECTOR2(0, 0));

    p.StartSmooth(1, 2, 5, 5, 10, 0.5f, 0.0f, 1.0f);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "global");
    EXPECT_EQ(boxes.Boxes()[0].text, "插值器的最大速度只能为正");
    EXPECT_EQ(p.nMode, IM_SMOOTH);
    EXPECT_EQ(p.fMaxSpeed, 0.0f);
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(1, 2));

    // At rest on the target with no acceleration allowed: no division by a zero length.
    boxes.Clear();
    p.StartSmooth(5, 5, 5, 5, 10, 0.5f, 1.0f, 0.0f);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "插值器的最大加速度只能为正");
    for (int i = 0; i < 3; ++i)
        p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(5, 5));
    EXPECT_EQ(p.vVelocity, D3DXVECTOR2(0, 0));

    // Both limits bad: two reports, in order.
    boxes.Clear();
    p.StartSmooth(0, 0, 9, 9, 10, 0.5f, -1.0f, -1.0f);
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, "插值器的最大速度只能为正");
    EXPECT_EQ(boxes.Boxes()[1].text, "插值器的最大加速度只能为正");
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(0, 0));
}

TEST(Interpolator2D, SetCurrentMovesOnlyThePoint)
{
    CInterpolator2D p;
    // After a linear move has shown its last frame it has ended: a point set then sticks.
    p.StartLinear(0, 0, 10, 0, 2);
    p.Update();
    p.Update();
    ASSERT_EQ(p.vCurrent, D3DXVECTOR2(10, 0));
    EXPECT_TRUE(p.IsRunning());
    p.SetCurrent(50, 60);
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(50, 60));
    EXPECT_FALSE(p.IsRunning());
    p.SetCurrent(1, 2);
    for (int i = 0; i < 3; ++i)
        p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(1, 2));
    EXPECT_FALSE(p.IsRunning());

    // During a linear move the move goes on from the new point and still lands on its target.
    p.StartLinear(0, 0, 0, 40, 4);
    p.Update();
    p.SetCurrent(100, 10);
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(100, 20));
    p.Update();
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(0, 40));

    // During a smooth move the spring keeps pulling towards its old target from the new point.
    testutil::BoxCapture boxes;
    p = CInterpolator2D();
    p.StartSmooth(0, 0, 100, 0, 10, 0.1f, 1.0f, 0.5f);
    p.Update();
    p.SetCurrent(-20, 0);
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR2(-19.0f, 0));
    EXPECT_EQ(p.vTarget, D3DXVECTOR2(100, 0));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(Interpolator3D, SmoothMoveSnapsOnItsLastFrame)
{
    testutil::BoxCapture boxes;
    CInterpolator3D p;
    p.StartSmooth(0, 0, 0, 100, 0, 0, 10, 0.1f, 1.0f, 0.5f);
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR3(0.5f, 0, 0));
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR3(1.5f, 0, 0));
    for (int i = 2; i < 9; ++i)
        p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR3(8.5f, 0, 0));
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR3(100, 0, 0));
    EXPECT_EQ(p.vVelocity, D3DXVECTOR3(1, 0, 0));
    EXPECT_TRUE(p.IsRunning());
    p.Update();
    EXPECT_FALSE(p.IsRunning());
    EXPECT_TRUE(boxes.Boxes().empty());

    p.StartSmooth(0, 0, 0, 1, 1, 1, 5, 0.1f, 1.0f, -1.0f);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "插值器的最大加速度只能为正");
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR3(0, 0, 0));
}

TEST(Interpolator3D, LinearMoveAndSet)
{
    CInterpolator3D p;
    p.StartLinear(0, 0, 0, 3, 6, 9, 3);
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR3(1, 2, 3));
    p.Update();
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR3(3, 6, 9));
    EXPECT_EQ(p.vVelocity, D3DXVECTOR3(0, 0, 0));

    p.StartLinear(0, 0, 0, 3, 6, 9, 0);
    EXPECT_TRUE(std::isfinite(p.vVelocity.x));
    p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR3(3, 6, 9));

    // Set is idle afterwards and keeps counting as running.
    p.Set(4, 5, 6);
    EXPECT_EQ(p.nMode, IM_NONE);
    for (int i = 0; i < 3; ++i)
        p.Update();
    EXPECT_EQ(p.vCurrent, D3DXVECTOR3(4, 5, 6));
    EXPECT_TRUE(p.IsRunning());
    EXPECT_EQ(p.GetFrame(), 0);
}
