// The device's state: Direct3D 9's defaults, the setters (state persists from draw to draw
// exactly as set) and the call log of recording mode.
#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/d3d9/d3d9_device.h"
#include "platform/seams.h"

namespace platform::d3d {

bool g_Recording = false;

namespace {

std::vector<std::string> g_Calls;

D3DMATRIX Identity()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

std::string Color(const D3DCOLORVALUE& c)
{
    return "(" + Num(c.r) + "," + Num(c.g) + "," + Num(c.b) + "," + Num(c.a) + ")";
}

std::string Vec(const D3DVECTOR& v)
{
    return "(" + Num(v.x) + "," + Num(v.y) + "," + Num(v.z) + ")";
}

bool Finite(const D3DCOLORVALUE& c)
{
    return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
}

bool Finite(const D3DVECTOR& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Whether Direct3D 9 takes the record: a known type; for spot and directional lights a direction
// of some length; for point and spot lights a range from 0 to sqrt(FLT_MAX) and attenuations that
// are not negative. Beyond Direct3D's checks, every value the type uses must be finite, so that
// no light can put an infinity or a NaN into a colour; unused members are not looked at.
bool Computable(const D3DLIGHT9& l)
{
    if (l.Type < D3DLIGHT_POINT || l.Type > D3DLIGHT_DIRECTIONAL) return false;
    if (!Finite(l.Diffuse) || !Finite(l.Specular) || !Finite(l.Ambient)) return false;
    if (l.Type != D3DLIGHT_POINT) {
        const double x = l.Direction.x, y = l.Direction.y, z = l.Direction.z;
        if (!Finite(l.Direction) || x * x + y * y + z * z == 0.0) return false;
    }
    if (l.Type == D3DLIGHT_DIRECTIONAL) return true;
    const float maxRange = std::sqrt(std::numeric_limits<float>::max());
    if (!Finite(l.Position) || !(l.Range >= 0.0f && l.Range <= maxRange)) return false;
    for (float a : {l.Attenuation0, l.Attenuation1, l.Attenuation2})
        if (!(a >= 0.0f && std::isfinite(a))) return false;
    return l.Type == D3DLIGHT_POINT || (std::isfinite(l.Theta) && std::isfinite(l.Phi) && std::isfinite(l.Falloff));
}

}  // namespace

std::string Hex(DWORD v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(v));
    return buf;
}

std::string Num(float f)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", static_cast<double>(f));
    return buf;
}

void RecordCall(const std::string& call)
{
    g_Calls.push_back(call);
}

void Device::SetDefaultStates()
{
    auto& rs = m_State.render;
    rs.fill(0);
    rs[D3DRS_ZENABLE] = m_Params.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_ZWRITEENABLE] = TRUE;
    rs[D3DRS_LASTPIXEL] = TRUE;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_FOGSTART] = std::bit_cast<DWORD>(0.0f);
    rs[D3DRS_FOGEND] = std::bit_cast<DWORD>(1.0f);
    rs[D3DRS_FOGDENSITY] = std::bit_cast<DWORD>(1.0f);
    rs[D3DRS_STENCILFAIL] = 1;
    rs[D3DRS_STENCILZFAIL] = 1;
    rs[D3DRS_STENCILPASS] = 1;
    rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_STENCILMASK] = 0xFFFFFFFF;
    rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFF;
    rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
    rs[D3DRS_CLIPPING] = TRUE;
    rs[D3DRS_LIGHTING] = TRUE;
    rs[D3DRS_COLORVERTEX] = TRUE;
    rs[D3DRS_LOCALVIEWER] = TRUE;
    rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    rs[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRS_POINTSIZE] = std::bit_cast<DWORD>(1.0f);
    rs[D3DRS_POINTSIZE_MIN] = std::bit_cast<DWORD>(1.0f);
    rs[D3DRS_POINTSCALE_A] = std::bit_cast<DWORD>(1.0f);
    rs[D3DRS_POINTSCALE_B] = std::bit_cast<DWORD>(0.0f);
    rs[D3DRS_POINTSCALE_C] = std::bit_cast<DWORD>(0.0f);
    rs[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
    rs[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFF;
    rs[D3DRS_POINTSIZE_MAX] = std::bit_cast<DWORD>(kMaxPointSize);
    rs[D3DRS_COLORWRITEENABLE] = 0x0000000F;
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    rs[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;
    rs[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;

    for (int i = 0; i < kStages; ++i) {
        auto& s = m_State.sampler[i];
        s.fill(0);
        s[D3DSAMP_ADDRESSU] = s[D3DSAMP_ADDRESSV] = s[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        s[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
        s[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        s[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        s[D3DSAMP_MAXANISOTROPY] = 1;

        auto& t = m_State.stage[i];
        t.fill(0);
        t[D3DTSS_COLOROP] = i == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        t[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        t[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        // Stage 0's alpha is texture x diffuse, so untextured vertex alpha blends as it does on
        // Direct3D (a stage without a texture reads as opaque white).
        t[D3DTSS_ALPHAOP] = i == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        t[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        t[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        t[D3DTSS_TEXCOORDINDEX] = static_cast<DWORD>(i);
        t[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        t[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        t[D3DTSS_RESULTARG] = D3DTA_CURRENT;
    }
    m_State.world = m_State.view = m_State.projection = Identity();
    m_State.material = D3DMATERIAL9{};
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (Recording()) RecordCall("SetRenderState(" + std::to_string(state) + ", " + Hex(value) + ")");
    if (state < 0 || state >= D3DRS_COUNT) return D3DERR_INVALIDCALL;
    m_State.render[state] = value;
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (!value || state < 0 || state >= D3DRS_COUNT) return D3DERR_INVALIDCALL;
    *value = m_State.render[state];
    return D3D_OK;
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (Recording())
        RecordCall("SetSamplerState(" + std::to_string(sampler) + ", " + std::to_string(type) + ", " + Hex(value) + ")");
    if (sampler >= kStages || type < 0 || type >= D3DSAMP_COUNT) return D3DERR_INVALIDCALL;
    m_State.sampler[sampler][type] = value;
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (Recording())
        RecordCall("SetTextureStageState(" + std::to_string(stage) + ", " + std::to_string(type) + ", " + Hex(value) +
                   ")");
    if (stage >= kStages || type < 0 || type >= D3DTSS_COUNT) return D3DERR_INVALIDCALL;
    m_State.stage[stage][type] = value;
    return D3D_OK;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    if (!matrix) return D3DERR_INVALIDCALL;
    if (Recording()) {
        std::string text = "SetTransform(" + std::to_string(state) + ",";
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) text += " " + Num(matrix->m[r][c]);
        RecordCall(text + ")");
    }
    switch (state) {
    case D3DTS_WORLD: m_State.world = *matrix; return D3D_OK;
    case D3DTS_VIEW: m_State.view = *matrix; return D3D_OK;
    case D3DTS_PROJECTION: m_State.projection = *matrix; return D3D_OK;
    default: return D3D_OK;  // texture transforms are accepted and not used
    }
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
    if (!matrix) return D3DERR_INVALIDCALL;
    switch (state) {
    case D3DTS_WORLD: *matrix = m_State.world; return D3D_OK;
    case D3DTS_VIEW: *matrix = m_State.view; return D3D_OK;
    case D3DTS_PROJECTION: *matrix = m_State.projection; return D3D_OK;
    default: *matrix = Identity(); return D3D_OK;
    }
}

HRESULT Device::SetMaterial(const D3DMATERIAL9* material)
{
    if (!material) return D3DERR_INVALIDCALL;
    if (Recording()) {
        RecordCall("SetMaterial(" + Color(material->Diffuse) + ", " + Color(material->Ambient) + ", " +
                   Color(material->Specular) + ", " + Color(material->Emissive) + ", " + Num(material->Power) + ")");
    }
    m_State.material = *material;
    return D3D_OK;
}

HRESULT Device::SetLight(DWORD index, const D3DLIGHT9* light)
{
    if (!light) return D3DERR_INVALIDCALL;
    if (Recording()) {
        RecordCall("SetLight(" + std::to_string(index) + ", " + std::to_string(light->Type) + ", " +
                   Color(light->Diffuse) + ", " + Color(light->Specular) + ", " + Color(light->Ambient) + ", " +
                   Vec(light->Position) + ", " + Vec(light->Direction) + ", " + Num(light->Range) + ", " +
                   Num(light->Falloff) + ", " + Num(light->Attenuation0) + ", " + Num(light->Attenuation1) + ", " +
                   Num(light->Attenuation2) + ", " + Num(light->Theta) + ", " + Num(light->Phi) + ")");
    }
    // A refused record leaves the light as it was.
    if (!Computable(*light)) return D3DERR_INVALIDCALL;
    m_State.lights[index].light = *light;
    return D3D_OK;
}

HRESULT Device::LightEnable(DWORD index, BOOL enable)
{
    if (Recording()) RecordCall("LightEnable(" + std::to_string(index) + ", " + std::to_string(enable ? 1 : 0) + ")");
    auto [slot, made] = m_State.lights.try_emplace(index);
    if (made) {
        // A light enabled before it was ever set is Direct3D's default light.
        slot->second.light.Type = D3DLIGHT_DIRECTIONAL;
        slot->second.light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        slot->second.light.Direction = {0.0f, 0.0f, 1.0f};
    }
    slot->second.enabled = enable != FALSE;
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    if (Recording()) RecordCall("SetTexture(" + std::to_string(stage) + ", " + (texture ? "texture" : "null") + ")");
    if (stage >= kStages) return D3DERR_INVALIDCALL;
    m_State.textures[stage] = static_cast<Texture*>(texture);
    return D3D_OK;
}

void Device::Unbind(const void* resource)
{
    for (Texture*& t : m_State.textures) {
        if (t == resource) t = nullptr;
    }
    if (m_State.stream == resource) m_State.stream = nullptr;
    if (m_State.indices == resource) m_State.indices = nullptr;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride)
{
    if (Recording())
        RecordCall("SetStreamSource(" + std::to_string(stream) + ", " + (buffer ? "buffer" : "null") + ", " +
                   std::to_string(offset) + ", " + std::to_string(stride) + ")");
    if (stream != 0) return D3DERR_INVALIDCALL;
    m_State.stream = static_cast<VertexBuffer*>(buffer);
    m_State.streamOffset = offset;
    m_State.streamStride = stride;
    return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* buffer)
{
    if (Recording()) RecordCall(std::string("SetIndices(") + (buffer ? "buffer" : "null") + ")");
    m_State.indices = static_cast<IndexBuffer*>(buffer);
    return D3D_OK;
}

HRESULT Device::SetFVF(DWORD fvf)
{
    if (Recording()) RecordCall("SetFVF(" + Hex(fvf) + ")");
    m_State.fvf = fvf;
    return D3D_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    if (Recording())
        RecordCall("DrawPrimitive(" + std::to_string(type) + ", " + std::to_string(startVertex) + ", " +
                   std::to_string(primitiveCount) + ")");
    return Draw(type, startVertex, primitiveCount, false, 0, 0);
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                     UINT startIndex, UINT primitiveCount)
{
    if (Recording())
        RecordCall("DrawIndexedPrimitive(" + std::to_string(type) + ", " + std::to_string(baseVertexIndex) + ", " +
                   std::to_string(minVertexIndex) + ", " + std::to_string(numVertices) + ", " +
                   std::to_string(startIndex) + ", " + std::to_string(primitiveCount) + ")");
    return Draw(type, 0, primitiveCount, true, baseVertexIndex, startIndex);
}

}  // namespace platform::d3d

namespace platform::seams {

void SetDeviceRecording(bool on)
{
    platform::d3d::g_Recording = on;
}

std::vector<std::string>& RecordedDeviceCalls()
{
    return platform::d3d::g_Calls;
}

}  // namespace platform::seams

namespace platform::detail {

void ResetDevice()
{
    platform::d3d::g_Recording = false;
    platform::d3d::g_Calls.clear();
}

}  // namespace platform::detail
