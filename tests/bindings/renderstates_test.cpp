#include <gtest/gtest.h>

#include <cstdio>

#include "bindings/gameframe.h"
#include "platform/seams.h"
#include "support/testdevice.h"

namespace {

// A call as the device's recording writes it.
std::string Call(const char* name, int a, int b, DWORD value)
{
    char text[80];
    if (b < 0)
        std::snprintf(text, sizeof text, "%s(%d, 0x%08X)", name, a, static_cast<unsigned>(value));
    else
        std::snprintf(text, sizeof text, "%s(%d, %d, 0x%08X)", name, a, b, static_cast<unsigned>(value));
    return text;
}

std::string State(D3DRENDERSTATETYPE state, DWORD value)
{
    return Call("SetRenderState", state, -1, value);
}

}  // namespace

// Everything drawn inherits these: lighting with normalised normals and specular, point
// filtering, source-alpha blending and a texel's alpha times the vertex alpha.
TEST(StartupRenderStates, AreSetInTheirOrder)
{
    platform::seams::ResetAll();
    IDirect3DDevice9* device = testutil::MakeTestDevice(8, 8);
    ASSERT_NE(device, nullptr);
    platform::seams::SetDeviceRecording(true);
    EXPECT_TRUE(SetupRenderStates(device));
    const std::vector<std::string> expected{
        State(D3DRS_LIGHTING, TRUE),
        State(D3DRS_NORMALIZENORMALS, TRUE),
        State(D3DRS_SPECULARENABLE, TRUE),
        Call("SetSamplerState", 0, D3DSAMP_MAGFILTER, D3DTEXF_POINT),
        Call("SetSamplerState", 0, D3DSAMP_MINFILTER, D3DTEXF_POINT),
        State(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA),
        State(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA),
        State(D3DRS_ALPHABLENDENABLE, TRUE),
        Call("SetTextureStageState", 0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE),
        Call("SetTextureStageState", 0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE),
        Call("SetTextureStageState", 0, D3DTSS_ALPHAOP, D3DTOP_MODULATE),
    };
    EXPECT_EQ(platform::seams::RecordedDeviceCalls(), expected);
    device->Release();
    platform::seams::ResetAll();
}
