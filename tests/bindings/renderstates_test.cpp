#include <gtest/gtest.h>

#include <cstdio>

#include "bindings/gameframe.h"
#include "platform/seams.h"
#include "support/testdevice.h"

namespace {

// A call as the device's recording writes it: a render state, or a sampler or stage state of
// stage 0.
std::string Call(const char* name, int type, DWORD value, bool stage = true)
{
    char text[80];
    std::snprintf(text, sizeof text, stage ? "%s(0, %d, 0x%08X)" : "%s(%d, 0x%08X)", name, type,
                  static_cast<unsigned>(value));
    return text;
}

std::string State(D3DRENDERSTATETYPE state, DWORD value) { return Call("SetRenderState", state, value, false); }

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
        Call("SetSamplerState", D3DSAMP_MAGFILTER, D3DTEXF_POINT),
        Call("SetSamplerState", D3DSAMP_MINFILTER, D3DTEXF_POINT),
        State(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA),
        State(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA),
        State(D3DRS_ALPHABLENDENABLE, TRUE),
        Call("SetTextureStageState", D3DTSS_ALPHAARG1, D3DTA_TEXTURE),
        Call("SetTextureStageState", D3DTSS_ALPHAARG2, D3DTA_DIFFUSE),
        Call("SetTextureStageState", D3DTSS_ALPHAOP, D3DTOP_MODULATE),
    };
    EXPECT_EQ(platform::seams::RecordedDeviceCalls(), expected);
    device->Release();
    platform::seams::ResetAll();
}
