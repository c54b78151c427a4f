// Drawing: the vertex stream's layout from the FVF, the device state turned into GL state and
// the program's uniforms, and the overlay the text helper draws with.
#include <bit>
#include <cmath>
#include <cstring>

#include "platform/d3d9/d3d9_program.h"

namespace platform::d3d {

// Where each element sits in one vertex of a flexible vertex format.
struct Layout {
    int positionSize = 0;  // floats: 3, or 4 for pre-transformed
    bool pretransformed = false;
    int normal = -1, pointSize = -1, diffuse = -1, specular = -1;
    int texCoord[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int texCoordSize[8] = {};
    int texCount = 0;
    int size = 0;
};

namespace {

bool ParseFvf(DWORD fvf, Layout& layout)
{
    int offset = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ: layout.positionSize = 3; offset = 12; break;
    case D3DFVF_XYZRHW: layout.positionSize = 4; layout.pretransformed = true; offset = 16; break;
    case 0x006: layout.positionSize = 3; offset = 16; break;  // blend weights are skipped
    case 0x008: layout.positionSize = 3; offset = 20; break;
    case 0x00A: layout.positionSize = 3; offset = 24; break;
    case 0x00C: layout.positionSize = 3; offset = 28; break;
    case 0x00E: layout.positionSize = 3; offset = 32; break;
    default: return false;
    }
    if (fvf & D3DFVF_NORMAL) { layout.normal = offset; offset += 12; }
    if (fvf & D3DFVF_PSIZE) { layout.pointSize = offset; offset += 4; }
    if (fvf & D3DFVF_DIFFUSE) { layout.diffuse = offset; offset += 4; }
    if (fvf & D3DFVF_SPECULAR) { layout.specular = offset; offset += 4; }
    layout.texCount = static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    if (layout.texCount > 8) return false;
    for (int i = 0; i < layout.texCount; ++i) {
        static constexpr int kFloats[4] = {2, 3, 4, 1};
        layout.texCoord[i] = offset;
        layout.texCoordSize[i] = kFloats[(fvf >> (16 + 2 * i)) & 3];
        offset += layout.texCoordSize[i] * 4;
    }
    layout.size = offset;
    return true;
}

UINT VertexCount(D3DPRIMITIVETYPE type, UINT primitives)
{
    switch (type) {
    case D3DPT_POINTLIST: return primitives;
    case D3DPT_LINELIST: return primitives * 2;
    case D3DPT_LINESTRIP: return primitives + 1;
    case D3DPT_TRIANGLELIST: return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitives + 2;
    default: return 0;
    }
}

GLenum GlPrimitive(D3DPRIMITIVETYPE type)
{
    switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST: return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    default: return GL_TRIANGLE_FAN;
    }
}

GLenum GlCompare(DWORD f)
{
    switch (f) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLenum GlBlend(DWORD b)
{
    switch (b) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    default: return GL_ONE;
    }
}

GLenum GlBlendOp(DWORD op)
{
    switch (op) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
    }
}

bool KnownFogMode(DWORD mode)
{
    return mode >= D3DFOG_EXP && mode <= D3DFOG_LINEAR;
}

// Table fog when FOGTABLEMODE names a formula, else vertex fog when FOGVERTEXMODE does; a mode
// Direct3D does not define counts as none.
int FogChoice(const std::array<DWORD, D3DRS_COUNT>& rs, bool pretransformed)
{
    if (!rs[D3DRS_FOGENABLE] || pretransformed) return 0;
    if (KnownFogMode(rs[D3DRS_FOGTABLEMODE])) return static_cast<int>(rs[D3DRS_FOGTABLEMODE]);
    return KnownFogMode(rs[D3DRS_FOGVERTEXMODE]) ? kVertexFog : 0;
}

GLint GlAddress(DWORD a)
{
    switch (a) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    case D3DTADDRESS_MIRRORONCE: return GL_MIRROR_CLAMP_TO_EDGE;
    default: return GL_REPEAT;
    }
}

// Row-vector product a * b of Direct3D matrices.
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

// The inverse transpose of the upper 3 x 3 of m, row-major: normals transform by it. A
// singular matrix gives its transpose's cofactors unscaled, which keeps directions usable.
void NormalMatrix(const D3DMATRIX& m, float out[9])
{
    const float a = m._11, b = m._12, c = m._13, d = m._21, e = m._22, f = m._23, g = m._31, h = m._32, i = m._33;
    const float cof[9] = {e * i - f * h, f * g - d * i, d * h - e * g, c * h - b * i, a * i - c * g,
                          b * g - a * h, b * f - c * e, c * d - a * f, a * e - b * d};
    const float det = a * cof[0] + b * cof[1] + c * cof[2];
    const float scale = std::fabs(det) > 1e-12f ? 1.0f / det : 1.0f;
    for (int k = 0; k < 9; ++k) out[k] = cof[k] * scale;
}

D3DVECTOR TransformPoint(const D3DVECTOR& v, const D3DMATRIX& m)
{
    return {v.x * m._11 + v.y * m._21 + v.z * m._31 + m._41, v.x * m._12 + v.y * m._22 + v.z * m._32 + m._42,
            v.x * m._13 + v.y * m._23 + v.z * m._33 + m._43};
}

// The unit vector along v * m; worked in double, so that neither a tiny nor a huge direction
// loses its length on the way.
D3DVECTOR TransformDirection(const D3DVECTOR& v, const D3DMATRIX& m)
{
    const double x = v.x, y = v.y, z = v.z;
    const double r[3] = {x * m._11 + y * m._21 + z * m._31, x * m._12 + y * m._22 + z * m._32,
                         x * m._13 + y * m._23 + z * m._33};
    const double len = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    const double scale = len > 0.0 ? 1.0 / len : 1.0;
    return {static_cast<float>(r[0] * scale), static_cast<float>(r[1] * scale), static_cast<float>(r[2] * scale)};
}

void BindAttribute(GLuint slot, int offset, GLint size, GLenum type, GLboolean normalized, GLsizei stride, UINT base)
{
    if (offset < 0) {
        glDisableVertexAttribArray(slot);
        return;
    }
    glEnableVertexAttribArray(slot);
    glVertexAttribPointer(slot, size, type, normalized, stride,
                          reinterpret_cast<const void*>(static_cast<std::uintptr_t>(base + static_cast<UINT>(offset))));
}

}  // namespace

const Program* Device::SelectProgram(bool points, bool pretransformed)
{
    const auto& rs = m_State.render;
    const auto& stage = m_State.stage[0];
    FragmentChoices c{};
    c.colorOp = static_cast<int>(stage[D3DTSS_COLOROP]);
    c.colorArg1 = static_cast<int>(stage[D3DTSS_COLORARG1]);
    c.colorArg2 = static_cast<int>(stage[D3DTSS_COLORARG2]);
    c.alphaOp = static_cast<int>(stage[D3DTSS_ALPHAOP]);
    c.alphaArg1 = static_cast<int>(stage[D3DTSS_ALPHAARG1]);
    c.alphaArg2 = static_cast<int>(stage[D3DTSS_ALPHAARG2]);
    c.fogMode = FogChoice(rs, pretransformed);
    c.alphaFunc = static_cast<int>(rs[D3DRS_ALPHAFUNC]);
    c.hasTexture = m_State.textures[0] != nullptr;
    c.spriteCoords = points && rs[D3DRS_POINTSPRITEENABLE] != 0;
    c.alphaTest = rs[D3DRS_ALPHATESTENABLE] != 0;
    c.specular = rs[D3DRS_SPECULARENABLE] != 0;
    return m_Programs->Get(c);
}

void Device::ApplyFixedState()
{
    const auto& rs = m_State.render;
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    glViewport(0, 0, static_cast<GLsizei>(m_Width), static_cast<GLsizei>(m_Height));
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);

    if (m_DepthBuffer && rs[D3DRS_ZENABLE] != D3DZB_FALSE) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GlCompare(rs[D3DRS_ZFUNC]));
        glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    } else {
        glDisable(GL_DEPTH_TEST);
    }

    // Direct3D names the winding that is culled. The back buffer is drawn mirrored in y, which
    // turns the on-screen winding over.
    switch (rs[D3DRS_CULLMODE]) {
    case D3DCULL_CW:
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
        break;
    case D3DCULL_CCW:
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(GL_BACK);
        break;
    default: glDisable(GL_CULL_FACE); break;
    }

    if (rs[D3DRS_ALPHABLENDENABLE]) {
        glEnable(GL_BLEND);
        glBlendFunc(GlBlend(rs[D3DRS_SRCBLEND]), GlBlend(rs[D3DRS_DESTBLEND]));
        glBlendEquation(GlBlendOp(rs[D3DRS_BLENDOP]));
    } else {
        glDisable(GL_BLEND);
    }

    const DWORD mask = rs[D3DRS_COLORWRITEENABLE];
    glColorMask(mask & 1 ? GL_TRUE : GL_FALSE, mask & 2 ? GL_TRUE : GL_FALSE, mask & 4 ? GL_TRUE : GL_FALSE,
                mask & 8 ? GL_TRUE : GL_FALSE);
    switch (rs[D3DRS_FILLMODE]) {
    case D3DFILL_POINT: glPolygonMode(GL_FRONT_AND_BACK, GL_POINT); break;
    case D3DFILL_WIREFRAME: glPolygonMode(GL_FRONT_AND_BACK, GL_LINE); break;
    default: glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); break;
    }
}

void Device::SetUniforms(const Program& p, bool points, bool pretransformed, const Layout& layout)
{
    const auto& rs = m_State.render;
    glUseProgram(p.name);

    glUniformMatrix4fv(p.world, 1, GL_FALSE, &m_State.world.m[0][0]);
    glUniformMatrix4fv(p.view, 1, GL_FALSE, &m_State.view.m[0][0]);
    glUniformMatrix4fv(p.projection, 1, GL_FALSE, &m_State.projection.m[0][0]);
    float normal[9];
    NormalMatrix(Multiply(m_State.world, m_State.view), normal);
    glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, normal);
    glUniform2f(p.viewportSize, static_cast<float>(m_Width), static_cast<float>(m_Height));
    glUniform1i(p.pretransformed, pretransformed);
    glUniform1i(p.hasNormal, layout.normal >= 0);
    glUniform1i(p.hasDiffuse, layout.diffuse >= 0);
    glUniform1i(p.hasSpecular, layout.specular >= 0);
    glUniform1i(p.hasPointSize, layout.pointSize >= 0);

    // Vertex colours feed the material only while COLORVERTEX is on.
    const bool colorVertex = rs[D3DRS_COLORVERTEX] != 0;
    glUniform1i(p.lighting, rs[D3DRS_LIGHTING] != 0 && !pretransformed);
    glUniform1i(p.specularEnable, rs[D3DRS_SPECULARENABLE] != 0);
    glUniform1i(p.localViewer, rs[D3DRS_LOCALVIEWER] != 0);
    glUniform1i(p.normalize, rs[D3DRS_NORMALIZENORMALS] != 0);
    glUniform1i(p.diffuseSource, colorVertex ? static_cast<GLint>(rs[D3DRS_DIFFUSEMATERIALSOURCE]) : 0);
    glUniform1i(p.ambientSource, colorVertex ? static_cast<GLint>(rs[D3DRS_AMBIENTMATERIALSOURCE]) : 0);
    glUniform1i(p.specularSource, colorVertex ? static_cast<GLint>(rs[D3DRS_SPECULARMATERIALSOURCE]) : 0);
    glUniform1i(p.emissiveSource, colorVertex ? static_cast<GLint>(rs[D3DRS_EMISSIVEMATERIALSOURCE]) : 0);
    const D3DMATERIAL9& m = m_State.material;
    glUniform4fv(p.matDiffuse, 1, &m.Diffuse.r);
    glUniform4fv(p.matAmbient, 1, &m.Ambient.r);
    glUniform4fv(p.matSpecular, 1, &m.Specular.r);
    glUniform4fv(p.matEmissive, 1, &m.Emissive.r);
    glUniform1f(p.matPower, m.Power);
    float color[4];
    ColorToFloats(rs[D3DRS_AMBIENT], color);
    glUniform4fv(p.globalAmbient, 1, color);

    GLint types[kMaxActiveLights] = {};
    float diffuse[kMaxActiveLights][4] = {}, specular[kMaxActiveLights][4] = {}, ambient[kMaxActiveLights][4] = {};
    float position[kMaxActiveLights][3] = {}, direction[kMaxActiveLights][3] = {};
    float attenuation[kMaxActiveLights][4] = {}, spot[kMaxActiveLights][3] = {};
    int count = 0;
    for (const auto& [index, slot] : m_State.lights) {
        if (!slot.enabled || count == kMaxActiveLights) continue;
        const D3DLIGHT9& l = slot.light;
        types[count] = l.Type;
        std::memcpy(diffuse[count], &l.Diffuse, sizeof diffuse[count]);
        std::memcpy(specular[count], &l.Specular, sizeof specular[count]);
        std::memcpy(ambient[count], &l.Ambient, sizeof ambient[count]);
        const D3DVECTOR pos = TransformPoint(l.Position, m_State.view);
        const D3DVECTOR dir = TransformDirection(l.Direction, m_State.view);
        std::memcpy(position[count], &pos, sizeof pos);
        std::memcpy(direction[count], &dir, sizeof dir);
        attenuation[count][0] = l.Range;
        attenuation[count][1] = l.Attenuation0;
        attenuation[count][2] = l.Attenuation1;
        attenuation[count][3] = l.Attenuation2;
        spot[count][0] = std::cos(l.Theta * 0.5f);
        spot[count][1] = std::cos(l.Phi * 0.5f);
        spot[count][2] = l.Falloff;
        ++count;
    }
    glUniform1i(p.lightCount, count);
    glUniform1iv(p.lightType, kMaxActiveLights, types);
    glUniform4fv(p.lightDiffuse, kMaxActiveLights, &diffuse[0][0]);
    glUniform4fv(p.lightSpecular, kMaxActiveLights, &specular[0][0]);
    glUniform4fv(p.lightAmbient, kMaxActiveLights, &ambient[0][0]);
    glUniform3fv(p.lightPosition, kMaxActiveLights, &position[0][0]);
    glUniform3fv(p.lightDirection, kMaxActiveLights, &direction[0][0]);
    glUniform4fv(p.lightAttenuation, kMaxActiveLights, &attenuation[0][0]);
    glUniform3fv(p.lightSpot, kMaxActiveLights, &spot[0][0]);

    glUniform1i(p.isPoint, points);
    glUniform1i(p.pointScale, rs[D3DRS_POINTSCALEENABLE] != 0);
    glUniform1f(p.pointSize, std::bit_cast<float>(rs[D3DRS_POINTSIZE]));
    glUniform1f(p.pointMin, std::bit_cast<float>(rs[D3DRS_POINTSIZE_MIN]));
    glUniform1f(p.pointMax, std::min(std::bit_cast<float>(rs[D3DRS_POINTSIZE_MAX]), kMaxPointSize));
    glUniform3f(p.pointScaleAbc, std::bit_cast<float>(rs[D3DRS_POINTSCALE_A]), std::bit_cast<float>(rs[D3DRS_POINTSCALE_B]),
                std::bit_cast<float>(rs[D3DRS_POINTSCALE_C]));
    ColorToFloats(rs[D3DRS_TEXTUREFACTOR], color);
    glUniform4fv(p.textureFactor, 1, color);
    glUniform3f(p.fogParams, std::bit_cast<float>(rs[D3DRS_FOGSTART]), std::bit_cast<float>(rs[D3DRS_FOGEND]),
                std::bit_cast<float>(rs[D3DRS_FOGDENSITY]));
    const bool vertexFog = FogChoice(rs, pretransformed) == kVertexFog;
    glUniform1i(p.fogVertexMode, vertexFog ? static_cast<GLint>(rs[D3DRS_FOGVERTEXMODE]) : 0);
    glUniform1i(p.rangeFog, rs[D3DRS_RANGEFOGENABLE] != 0);
    ColorToFloats(rs[D3DRS_FOGCOLOR], color);
    glUniform4fv(p.fogColor, 1, color);
    glUniform1f(p.alphaRef, static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF));
}

void Device::BindStageTexture()
{
    glActiveTexture(GL_TEXTURE0);
    Texture* texture = m_State.textures[0];
    if (!texture) {
        glBindTexture(GL_TEXTURE_2D, 0);
        return;
    }
    const auto& s = m_State.sampler[0];
    glBindTexture(GL_TEXTURE_2D, texture->Name());
    const std::array<DWORD, 5> wanted{s[D3DSAMP_MAGFILTER], s[D3DSAMP_MINFILTER], s[D3DSAMP_ADDRESSU],
                                      s[D3DSAMP_ADDRESSV], s[D3DSAMP_BORDERCOLOR]};
    if (texture->AppliedSampler() == wanted) return;
    texture->AppliedSampler() = wanted;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, s[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, s[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GlAddress(s[D3DSAMP_ADDRESSU]));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GlAddress(s[D3DSAMP_ADDRESSV]));
    float border[4];
    ColorToFloats(s[D3DSAMP_BORDERCOLOR], border);
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
}

HRESULT Device::Draw(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount, bool indexed, INT baseVertexIndex,
                     UINT startIndex)
{
    const UINT count = VertexCount(type, primitiveCount);
    Layout layout;
    VertexBuffer* stream = m_State.stream;
    if (!stream || !ParseFvf(m_State.fvf, layout) || (indexed && !m_State.indices)) return D3DERR_INVALIDCALL;
    if (count == 0) return D3D_OK;
    const UINT stride = m_State.streamStride ? m_State.streamStride : static_cast<UINT>(layout.size);
    const std::size_t bytes = stream->Bytes().size();
    if (stride < static_cast<UINT>(layout.size) || m_State.streamOffset + layout.size > bytes) return D3DERR_INVALIDCALL;
    const std::size_t vertices = (bytes - m_State.streamOffset - layout.size) / stride + 1;

    const bool wideIndices = indexed && m_State.indices->Format() == D3DFMT_INDEX32;
    const std::size_t indexSize = wideIndices ? 4 : 2;
    // Every vertex read must lie inside the buffer: GL would read past it.
    if (indexed) {
        const IndexBuffer& ib = *m_State.indices;
        if ((static_cast<std::size_t>(startIndex) + count) * indexSize > ib.Bytes().size()) return D3DERR_INVALIDCALL;
        const std::uint8_t* data = ib.Bytes().data() + static_cast<std::size_t>(startIndex) * indexSize;
        for (UINT i = 0; i < count; ++i) {
            std::uint32_t index;
            if (indexSize == 2) {
                std::uint16_t i16;
                std::memcpy(&i16, data + i * 2, 2);
                index = i16;
            } else {
                std::memcpy(&index, data + i * 4, 4);
            }
            const long long vertex = static_cast<long long>(index) + baseVertexIndex;
            if (vertex < 0 || static_cast<std::size_t>(vertex) >= vertices) return D3DERR_INVALIDCALL;
        }
    } else if (static_cast<std::size_t>(startVertex) + count > vertices) {
        return D3DERR_INVALIDCALL;
    }

    MakeCurrent();
    const bool points = type == D3DPT_POINTLIST;
    const Program* program = SelectProgram(points, layout.pretransformed);
    if (!program) return D3DERR_INVALIDCALL;
    ApplyFixedState();
    SetUniforms(*program, points, layout.pretransformed, layout);
    BindStageTexture();

    const UINT set = m_State.stage[0][D3DTSS_TEXCOORDINDEX] & 0xFFFF;
    const int texOffset = set < static_cast<UINT>(layout.texCount) ? layout.texCoord[set] : -1;
    const GLint texSize = texOffset >= 0 ? std::min(layout.texCoordSize[set], 2) : 2;
    const UINT base = m_State.streamOffset;
    const auto s = static_cast<GLsizei>(stride);
    glBindBuffer(GL_ARRAY_BUFFER, stream->Name());
    BindAttribute(kAttrPosition, 0, layout.positionSize, GL_FLOAT, GL_FALSE, s, base);
    BindAttribute(kAttrNormal, layout.normal, 3, GL_FLOAT, GL_FALSE, s, base);
    BindAttribute(kAttrDiffuse, layout.diffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, s, base);
    BindAttribute(kAttrSpecular, layout.specular, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, s, base);
    BindAttribute(kAttrTexCoord, texOffset, texSize, GL_FLOAT, GL_FALSE, s, base);
    BindAttribute(kAttrPointSize, layout.pointSize, 1, GL_FLOAT, GL_FALSE, s, base);
    if (texOffset < 0) glVertexAttrib2f(kAttrTexCoord, 0.0f, 0.0f);

    if (indexed) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_State.indices->Name());
        glDrawElementsBaseVertex(GlPrimitive(type), static_cast<GLsizei>(count),
                                 wideIndices ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                                 reinterpret_cast<const void*>(static_cast<std::uintptr_t>(startIndex) * indexSize),
                                 baseVertexIndex);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    } else {
        glDrawArrays(GlPrimitive(type), static_cast<GLint>(startVertex), static_cast<GLsizei>(count));
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return D3D_OK;
}

// The overlay draws with its own program and GL state only; the device state is untouched and
// every draw sets all the GL state it depends on, so nothing leaks either way.
void Device::DrawOverlay(int x, int y, int width, int height, const std::uint8_t* rgba)
{
    if (width <= 0 || height <= 0 || !rgba) return;
    MakeCurrent();
    const OverlayProgram* overlay = m_Programs->Overlay();
    if (!overlay) return;
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    glViewport(0, 0, static_cast<GLsizei>(m_Width), static_cast<GLsizei>(m_Height));
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBlendEquation(GL_FUNC_ADD);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, overlay->textureName);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);

    glUseProgram(overlay->name);
    glUniform4f(overlay->rect, static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                static_cast<float>(height));
    glUniform2f(overlay->viewportSize, static_cast<float>(m_Width), static_cast<float>(m_Height));
    static const float kCorners[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (GLuint slot = 1; slot <= kAttrPointSize; ++slot) glDisableVertexAttribArray(slot);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, kCorners);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableVertexAttribArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace platform::d3d
