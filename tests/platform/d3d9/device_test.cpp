#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "platform/d3d9.h"
#include "platform/seams.h"
#include "support/testdevice.h"

namespace {

class DeviceTest : public testing::Test {
protected:
    void SetUp() override { platform::seams::ResetAll(); }
    void TearDown() override { platform::seams::ResetAll(); }
};

}  // namespace

// The forced failures and the retries they cause are checked by the program's start-up tests.
TEST_F(DeviceTest, CapsOfferHardwareLightingStatesStartAtDefaultsAndTheDeviceKeepsDirect3DAlive)
{
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DCAPS9 caps;
    ASSERT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS p = testutil::TestPresentParameters(8, 8, D3DFMT_D16);
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p,
                                &device),
              D3D_OK);
    // States start at Direct3D's defaults; a state past the last is refused.
    const std::pair<D3DRENDERSTATETYPE, DWORD> defaults[] = {
        {D3DRS_ZENABLE, D3DZB_TRUE},           {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},       {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_LIGHTING, TRUE},                {D3DRS_AMBIENT, 0},
        {D3DRS_LOCALVIEWER, TRUE},             {D3DRS_ALPHABLENDENABLE, FALSE},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_FOGENABLE, FALSE},              {D3DRS_FOGEND, 0x3F800000},
        {D3DRS_POINTSIZE_MAX, 0x42800000},     {D3DRS_POINTSCALE_A, 0x3F800000},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    };
    for (const auto& [state, expected] : defaults) {
        DWORD value = 0xDEADBEEF;
        EXPECT_EQ(device->GetRenderState(state, &value), D3D_OK);
        EXPECT_EQ(value, expected) << "render state " << state;
    }
    D3DMATRIX world;
    device->GetTransform(D3DTS_WORLD, &world);
    EXPECT_EQ(world._11, 1.0f);
    EXPECT_EQ(world._41, 0.0f);
    EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(D3DRS_COUNT), 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d->Release(), 1u);
    EXPECT_EQ(device->Release(), 0u);
}

TEST_F(DeviceTest, PresentKeepsATopDownBgraCopyOfTheClearedFrameOnlyWhenAsked)
{
    IDirect3DDevice9* device = testutil::MakeTestDevice(64, 32);
    ASSERT_NE(device, nullptr);
    // The shipped frame reads nothing back.
    platform::seams::KeepPresentedFrames(false);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
    device->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(platform::seams::LastPresentedFrame().bgra.empty());

    platform::seams::KeepPresentedFrames(true);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF336699, 1.0f, 0);
    // A rectangle cleared over the top rows shows at the top of the read-back.
    const D3DRECT top{0, 0, 64, 4};
    device->Clear(1, &top, D3DCLEAR_TARGET, 0x80FF0000, 1.0f, 0);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    device->Present(nullptr, nullptr, nullptr, nullptr);

    const platform::seams::Frame& f = platform::seams::LastPresentedFrame();
    ASSERT_EQ(std::tuple(f.width, f.height, f.bgra.size()), std::tuple(64, 32, 64u * 32u * 4u));
    auto pixel = testutil::PresentedPixel;
    EXPECT_EQ(pixel(0, 0), 0x80FF0000u);
    EXPECT_EQ(pixel(63, 3), 0x80FF0000u);
    EXPECT_EQ(pixel(0, 4), 0xFF336699u);
    EXPECT_EQ(pixel(63, 31), 0xFF336699u);
    device->Release();
}
