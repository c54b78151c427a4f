#include <gtest/gtest.h>

#include <cmath>

#include "platform/seams.h"
#include "support/bundledrun.h"
#include "world/scene.h"

namespace {

using platform::seams::Frame;

struct TPixel {
    int r, g, b;
};

TPixel At(const Frame& f, int x, int y)
{
    const std::uint8_t* p = &f.bgra[(static_cast<std::size_t>(y) * f.width + x) * 4];
    return {p[2], p[1], p[0]};
}

// The bluest pixel within two pixels of a point: a glow's centre.
TPixel Bluest(const Frame& f, POINT c)
{
    TPixel best{0, 0, 0};
    for (int y = c.y - 2; y <= c.y + 2; ++y)
        for (int x = c.x - 2; x <= c.x + 2; ++x)
            if (At(f, x, y).b > best.b) best = At(f, x, y);
    return best;
}

// Where a world point lands on the 640 x 480 back buffer under the scene camera.
POINT OnScreen(const CSceneCamera& camera, const D3DXVECTOR3& p)
{
    D3DXMATRIX view, proj;
    camera.GetViewMatrix(&view);
    camera.GetProjMatrix(&proj);
    const D3DXMATRIX viewProj = view * proj;
    D3DXVECTOR3 clip;
    D3DXVec3TransformCoord(&clip, &p, &viewProj);
    return {static_cast<LONG>((clip.x + 1.0f) * 320.0f), static_cast<LONG>((1.0f - clip.y) * 240.0f)};
}

// The world point `depth` ahead of the camera that lands on (x, y) of the picture, each -1 to 1.
D3DXVECTOR3 InView(const CSceneCamera& camera, float depth, float x, float y)
{
    D3DXVECTOR3 look, right, up;
    camera.GetLook(&look);
    camera.GetRight(&right);
    D3DXVec3Normalize(&look, &look);
    D3DXVec3Normalize(&right, &right);
    D3DXVec3Normalize(&up, &camera.Up);
    const float tanHalf = std::tan(camera.Fov.Get() / 2);
    return camera.Position.vCurrent +
           depth * (look + right * (x * tanHalf * camera.Aspect.Get()) + up * (y * tanHalf));
}

}  // namespace

// The bundled menu's Start button runs the demo scene: the backdrop fades away and the bundled
// billboard effects, emitted as a unit's script would, play under the scene's camera and fog.
TEST(DemoScene, StartShowsFoggedBillboardsUnderTheMovingCamera)
{
    testutil::BundledRun run;
    int clickedAt = -1;
    bool emitted = false;
    Frame shot;
    D3DXVECTOR3 eyeThen, eyeAtShot;
    D3DXVECTOR3 nearPos, farPos;
    POINT nearPx{}, farPx{};
    EXPECT_EQ(run.Run([&](int frames) {
        if (clickedAt < 0 && frames >= 45) {
            platform::seams::InjectMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(320, 170));
            clickedAt = frames;
        } else if (clickedAt >= 0 && !emitted && frames >= clickedAt + 60) {
            TAnimData* glow = g_Scene.animations.FindAnimData("glow");
            ASSERT_NE(glow, nullptr);
            // Two glows on the left of the picture, clear of the menu: 70 units ahead and 250.
            nearPos = InView(g_Scene.camera, 70.0f, -0.6f, -0.3f);
            farPos = InView(g_Scene.camera, 250.0f, -0.6f, 0.5f);
            g_Scene.animations.Emit(glow, nearPos, D3DXVECTOR3(0, 0, 0));
            g_Scene.animations.Emit(glow, farPos, D3DXVECTOR3(0, 0, 0));
            for (int i = 0; i < 6; ++i)
                g_Scene.animations.Emit(g_Scene.animations.FindAnimData("burst"), D3DXVECTOR3(-40.0f + 16 * i, 5, 40),
                                        D3DXVECTOR3(0, 0.1f, 0));
            eyeThen = g_Scene.camera.Position.vCurrent;
            g_Scene.particles.bEnabled = false;  // white snowflakes would speckle the glows
            emitted = true;
        } else if (emitted && shot.width == 0 && frames >= clickedAt + 70) {
            shot = platform::seams::LastPresentedFrame();
            eyeAtShot = g_Scene.camera.Position.vCurrent;
            nearPx = OnScreen(g_Scene.camera, nearPos);
            farPx = OnScreen(g_Scene.camera, farPos);
            PostQuitMessage(0);
        } else if (frames > 400) {
            PostQuitMessage(9);
        }
    }), 0);
    for (const auto& b : run.Boxes()) ADD_FAILURE() << "box: " << b.caption << " / " << b.text;
    ASSERT_EQ(shot.width, 640);

    EXPECT_NE(eyeThen, eyeAtShot) << "the camera did not move";
    EXPECT_TRUE(g_Scene.fog.bEnabled);
    // The backdrop has faded: a corner away from every billboard shows the cleared black.
    const TPixel corner = At(shot, 5, 5);
    EXPECT_LT(corner.r + corner.g + corner.b, 30);
    // The near glow keeps its light blue; the far one, past the fog's end, takes the fog's colour
    // (70, 80, 110).
    ASSERT_TRUE(nearPx.x > 0 && nearPx.x < 640 && nearPx.y > 0 && nearPx.y < 400) << nearPx.x << "," << nearPx.y;
    ASSERT_TRUE(farPx.x > 0 && farPx.x < 640 && farPx.y > 0 && farPx.y < 400) << farPx.x << "," << farPx.y;
    const TPixel nearGlow = Bluest(shot, nearPx);
    const TPixel farGlow = Bluest(shot, farPx);
    EXPECT_GT(nearGlow.b, 100);
    EXPECT_GT(nearGlow.b, nearGlow.r + 40);
    EXPECT_GT(farGlow.b, 10);
    EXPECT_NEAR(farGlow.r * 110, farGlow.b * 70, 110 * 4);
    EXPECT_LT(farGlow.b, nearGlow.b) << nearPx.x << "," << nearPx.y << " " << farPx.x << "," << farPx.y;
}
