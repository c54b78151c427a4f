// The GLSL programs that compute Direct3D 9's fixed-function pipeline from uniforms, one per
// set of pixel-stage choices, and the small program that draws overlays.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "platform/d3d9/d3d9_device.h"

namespace platform::d3d {

// Generic attribute slots of the vertex stream.
enum Attribute : GLuint {
    kAttrPosition = 0,
    kAttrNormal = 1,
    kAttrDiffuse = 2,
    kAttrSpecular = 3,
    kAttrTexCoord = 4,
    kAttrPointSize = 5,
};

// Fog whose factor the vertices work out (FOGVERTEXMODE) for the pixels to interpolate.
constexpr int kVertexFog = 4;

// The choices of the pixel stage that a program has built in as constants: llvmpipe runs a
// shader that branches on uniforms several times slower than one compiled for its state.
struct FragmentChoices {
    int colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
    int fogMode;  // 0 none, D3DFOG_EXP..D3DFOG_LINEAR for table fog, kVertexFog
    int alphaFunc;
    bool hasTexture, spriteCoords, alphaTest, specular;

    std::uint64_t Key() const;
};

// Uniform locations of one program; a choice built in as a constant has location -1, which
// makes setting it a no-op. The samplers of both programs stay at unit 0, where linking leaves
// them.
struct Program {
    GLuint name = 0;
    GLint world, view, projection, normalMatrix, viewportSize;
    GLint pretransformed, hasNormal, hasDiffuse, hasSpecular, hasPointSize;
    GLint lighting, specularEnable, localViewer, normalize;
    GLint diffuseSource, ambientSource, specularSource, emissiveSource;
    GLint matDiffuse, matAmbient, matSpecular, matEmissive, matPower, globalAmbient;
    GLint lightCount, lightType, lightDiffuse, lightSpecular, lightAmbient, lightPosition, lightDirection,
        lightAttenuation, lightSpot;
    GLint isPoint, pointScale, pointSize, pointMin, pointMax, pointScaleAbc;
    GLint fogVertexMode, rangeFog;
    GLint textureFactor, fogParams, fogColor, alphaRef;
};

struct OverlayProgram {
    GLuint name = 0;
    GLint rect, viewportSize;
    GLuint textureName = 0;  // nearest-filtered, clamped to its edges
};

// The programs of one GL context, made on first use. It must be destroyed with that context
// current.
class ProgramCache {
public:
    ProgramCache() = default;
    ProgramCache(const ProgramCache&) = delete;
    ProgramCache& operator=(const ProgramCache&) = delete;
    ~ProgramCache();

    // Null when GL refuses to build the program (the log goes to stderr).
    const Program* Get(const FragmentChoices& choices);
    const OverlayProgram* Overlay();

private:
    std::unordered_map<std::uint64_t, Program> m_Programs;
    OverlayProgram m_Overlay;
    bool m_Broken = false;
};

}  // namespace platform::d3d
