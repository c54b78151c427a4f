// The fixed-function formulas of Direct3D 9 in GLSL: transform with Direct3D's matrices,
// per-vertex lighting in camera space (point, spot and directional lights with Direct3D's
// range, attenuation and cone), point sizes, texture stage 0, specular added after
// texturing, fog and alpha test.
#include "platform/d3d9/d3d9_program.h"

#include <cstdio>
#include <string>

namespace platform::d3d {

namespace {

// Both stages: the fog factor of Direct3D's formulas, 1 keeping the colour and 0 all fog. Linear
// fog with start equal to end divides by zero: nearer than that distance no fog, from it on all
// fog (0 / 0 at the distance itself counts as fog). Any factor that is not a number is all fog,
// so no NaN reaches a pixel.
const char* const kFogSource = R"GLSL(
uniform vec3 uFogParams;  // start, end, density

float UnitFactor(float f)
{
    return f >= 0.0 ? min(f, 1.0) : 0.0;
}

float FogFactor(int mode, float d)
{
    if (mode == 3) {
        float span = uFogParams.y - uFogParams.x;
        if (span == 0.0) return d < uFogParams.y ? 1.0 : 0.0;
        return UnitFactor((uFogParams.y - d) / span);
    }
    float e = d * uFogParams.z;
    if (mode == 1) return UnitFactor(exp(-e));
    if (mode == 2) return UnitFactor(exp(-e * e));
    return 1.0;
}
)GLSL";

const char* const kVertexShader = R"GLSL(
in vec4 aPosition;
in vec3 aNormal;
in vec4 aDiffuse;
in vec4 aSpecular;
in vec2 aTexCoord;
in float aPointSize;

uniform mat4 uWorld;
uniform mat4 uView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform vec2 uViewportSize;
uniform bool uPretransformed;
uniform bool uHasNormal;
uniform bool uHasDiffuse;
uniform bool uHasSpecular;
uniform bool uHasPointSize;
uniform bool uLighting;
uniform bool uSpecularEnable;
uniform bool uLocalViewer;
uniform bool uNormalize;
uniform int uDiffuseSource;
uniform int uAmbientSource;
uniform int uSpecularSource;
uniform int uEmissiveSource;
uniform vec4 uMatDiffuse;
uniform vec4 uMatAmbient;
uniform vec4 uMatSpecular;
uniform vec4 uMatEmissive;
uniform float uMatPower;
uniform vec4 uGlobalAmbient;
uniform int uLightCount;
uniform int uLightType[8];
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightSpecular[8];
uniform vec4 uLightAmbient[8];
uniform vec3 uLightPosition[8];
uniform vec3 uLightDirection[8];
uniform vec4 uLightAttenuation[8];
uniform vec3 uLightSpot[8];
uniform bool uIsPoint;
uniform bool uPointScale;
uniform float uPointSize;
uniform float uPointMin;
uniform float uPointMax;
uniform vec3 uPointScaleAbc;
uniform int uFogVertexMode;
uniform bool uRangeFog;

out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTexCoord;
out float vEyeDepth;
out float vFog;

vec4 Source(int source, vec4 material)
{
    if (source == 1 && uHasDiffuse) return aDiffuse;
    if (source == 2 && uHasSpecular) return aSpecular;
    return material;
}

void Light(vec3 pos, vec3 normal)
{
    vec4 matDiffuse = Source(uDiffuseSource, uMatDiffuse);
    vec4 matAmbient = Source(uAmbientSource, uMatAmbient);
    vec4 matSpecular = Source(uSpecularSource, uMatSpecular);
    vec4 matEmissive = Source(uEmissiveSource, uMatEmissive);
    vec3 ambient = uGlobalAmbient.rgb;
    vec3 diffuse = vec3(0.0);
    vec3 specular = vec3(0.0);
    vec3 toEye = uLocalViewer ? normalize(-pos) : vec3(0.0, 0.0, -1.0);
    for (int i = 0; i < uLightCount; ++i) {
        vec3 toLight;
        float atten = 1.0;
        if (uLightType[i] == 3) {
            toLight = -uLightDirection[i];
        } else {
            vec3 d = uLightPosition[i] - pos;
            float dist = length(d);
            if (dist > uLightAttenuation[i].x) continue;
            toLight = dist > 0.0 ? d / dist : vec3(0.0, 0.0, -1.0);
            // Attenuations that sum to 0 divide by zero: the light saturates whatever it reaches, as
            // an attenuation of FLT_MAX does on Direct3D, without an infinity to turn 0 x inf into NaN.
            float denom = uLightAttenuation[i].y + uLightAttenuation[i].z * dist + uLightAttenuation[i].w * dist * dist;
            atten = 1.0 / max(denom, 1e-30);
            if (uLightType[i] == 2) {
                float rho = dot(-toLight, uLightDirection[i]);
                float cosTheta = uLightSpot[i].x;
                float cosPhi = uLightSpot[i].y;
                if (rho <= cosPhi) {
                    atten = 0.0;
                } else if (rho <= cosTheta) {
                    float t = (rho - cosPhi) / (cosTheta - cosPhi);
                    atten *= uLightSpot[i].z == 1.0 ? t : pow(t, uLightSpot[i].z);
                }
            }
        }
        ambient += uLightAmbient[i].rgb * atten;
        float nDotL = dot(normal, toLight);
        if (nDotL > 0.0) {
            diffuse += uLightDiffuse[i].rgb * nDotL * atten;
            if (uSpecularEnable) {
                float nDotH = dot(normal, normalize(toEye + toLight));
                if (nDotH > 0.0) specular += uLightSpecular[i].rgb * pow(nDotH, uMatPower) * atten;
            }
        }
    }
    vec3 color = matEmissive.rgb + matAmbient.rgb * ambient + matDiffuse.rgb * diffuse;
    vDiffuse = clamp(vec4(color, matDiffuse.a), 0.0, 1.0);
    vSpecular = clamp(vec4(matSpecular.rgb * specular, 0.0), 0.0, 1.0);
}

void main()
{
    vTexCoord = aTexCoord;
    if (uPretransformed) {
        float w = aPosition.w != 0.0 ? 1.0 / aPosition.w : 1.0;
        vec2 ndc = (aPosition.xy + 0.5) / uViewportSize * 2.0 - 1.0;
        gl_Position = vec4(ndc * w, (aPosition.z * 2.0 - 1.0) * w, w);
        vDiffuse = uHasDiffuse ? aDiffuse : vec4(1.0);
        vSpecular = uHasSpecular ? aSpecular : vec4(0.0);
        vEyeDepth = 0.0;
        vFog = 1.0;
        gl_PointSize = uPointSize;
        return;
    }
    vec4 eye = uView * (uWorld * vec4(aPosition.xyz, 1.0));
    vec4 clip = uProjection * eye;
    // Direct3D's depth runs 0..1 and its pixel centres sit half a pixel off OpenGL's. The
    // back buffer is kept top row first, so y is mirrored: that also makes OpenGL's rule for
    // pixels on an edge include the top edge, as Direct3D's does.
    clip.z = clip.z * 2.0 - clip.w;
    clip.x += clip.w / uViewportSize.x;
    clip.y = clip.w / uViewportSize.y - clip.y;
    gl_Position = clip;
    vEyeDepth = eye.z;
    vFog = uFogVertexMode != 0 ? FogFactor(uFogVertexMode, uRangeFog ? length(eye.xyz) : eye.z) : 1.0;

    if (uLighting) {
        vec3 normal = uHasNormal ? uNormalMatrix * aNormal : vec3(0.0);
        if (uNormalize && dot(normal, normal) > 0.0) normal = normalize(normal);
        Light(eye.xyz, normal);
    } else {
        vDiffuse = uHasDiffuse ? aDiffuse : vec4(1.0);
        vSpecular = uHasSpecular ? aSpecular : vec4(0.0);
    }

    if (uIsPoint) {
        float size = uHasPointSize ? aPointSize : uPointSize;
        if (uPointScale) {
            // Where the distance scale has no finite value the size runs to the maximum.
            float d = length(eye.xyz);
            float denom = uPointScaleAbc.x + uPointScaleAbc.y * d + uPointScaleAbc.z * d * d;
            size = denom > 0.0 ? uViewportSize.y * size * sqrt(1.0 / denom) : uPointMax;
        }
        // Clamped to the maximum, then to the minimum: a minimum above the maximum wins, where
        // GLSL's clamp would leave the result undefined.
        gl_PointSize = max(min(size, uPointMax), uPointMin);
    }
}
)GLSL";

// Follows the constants of FragmentConstants.
const char* const kFragmentShader = R"GLSL(
in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTexCoord;
in float vEyeDepth;
in float vFog;

uniform sampler2D uTexture;
uniform vec4 uTextureFactor;
uniform vec4 uFogColor;
uniform float uAlphaRef;  // 0..255

vec4 Arg(int arg, vec4 tex)
{
    int which = arg & 15;
    vec4 v;
    if (which == 0 || which == 1) v = vDiffuse;  // at stage 0 the current colour is the diffuse
    else if (which == 2) v = tex;
    else if (which == 3) v = uTextureFactor;
    else if (which == 4) v = vSpecular;
    else v = vec4(0.0);
    if ((arg & 16) != 0) v = vec4(1.0) - v;
    if ((arg & 32) != 0) v = vec4(v.a);
    return v;
}

vec4 Combine(int op, vec4 a1, vec4 a2, vec4 tex)
{
    if (op == 2) return a1;
    if (op == 3) return a2;
    if (op == 4) return a1 * a2;
    if (op == 5) return a1 * a2 * 2.0;
    if (op == 6) return a1 * a2 * 4.0;
    if (op == 7) return a1 + a2;
    if (op == 8) return a1 + a2 - 0.5;
    if (op == 9) return (a1 + a2 - 0.5) * 2.0;
    if (op == 10) return a1 - a2;
    if (op == 11) return a1 + a2 - a1 * a2;
    if (op == 12) return mix(a2, a1, vDiffuse.a);
    if (op == 13) return mix(a2, a1, tex.a);
    if (op == 14) return mix(a2, a1, uTextureFactor.a);
    return vDiffuse;
}

// Direct3D compares the alpha and the reference as 8-bit values.
bool Passes(float alpha)
{
    float a = floor(clamp(alpha, 0.0, 1.0) * 255.0 + 0.5);
    if (kAlphaFunc == 1) return false;
    if (kAlphaFunc == 2) return a < uAlphaRef;
    if (kAlphaFunc == 3) return a == uAlphaRef;
    if (kAlphaFunc == 4) return a <= uAlphaRef;
    if (kAlphaFunc == 5) return a > uAlphaRef;
    if (kAlphaFunc == 6) return a != uAlphaRef;
    if (kAlphaFunc == 7) return a >= uAlphaRef;
    return true;
}

void main()
{
    vec2 uv = kSpriteCoords ? gl_PointCoord : vTexCoord;
    vec4 tex = kHasTexture ? texture(uTexture, uv) : vec4(1.0);
    vec4 color = vDiffuse;
    if (kColorOp != 1) {
        color.rgb = clamp(Combine(kColorOp, Arg(kColorArg1, tex), Arg(kColorArg2, tex), tex).rgb, 0.0, 1.0);
        if (kAlphaOp != 1)
            color.a = clamp(Combine(kAlphaOp, Arg(kAlphaArg1, tex), Arg(kAlphaArg2, tex), tex).a, 0.0, 1.0);
    }
    if (kSpecular) color.rgb = min(color.rgb + vSpecular.rgb, vec3(1.0));
    // Table fog by the pixel's eye depth; vertex fog as the vertices' factors interpolate.
    if (kFogMode != 0) {
        float f = kFogMode == kVertexFog ? vFog : FogFactor(kFogMode, abs(vEyeDepth));
        color.rgb = mix(uFogColor.rgb, color.rgb, f);
    }
    if (kAlphaTest && !Passes(color.a)) discard;
    gl_FragColor = color;
}
)GLSL";

const char* const kOverlayVertex = R"GLSL(
in vec2 aCorner;
uniform vec4 uRect;
uniform vec2 uViewportSize;
out vec2 vUv;
void main()
{
    vec2 corner = aCorner;
    vUv = corner;
    vec2 pixel = uRect.xy + corner * uRect.zw;
    gl_Position = vec4(pixel / uViewportSize * 2.0 - 1.0, 0.0, 1.0);
}
)GLSL";

const char* const kOverlayFragment = R"GLSL(
in vec2 vUv;
uniform sampler2D uTexture;
void main()
{
    gl_FragColor = texture(uTexture, vUv);
}
)GLSL";

// The shader or program when its status is good; otherwise its log goes to stderr and it is
// deleted.
GLuint Checked(GLuint object, GLenum status, void (*getStatus)(GLuint, GLenum, GLint*),
               void (*getLog)(GLuint, GLsizei, GLsizei*, GLchar*), void (*destroy)(GLuint), const char* what)
{
    GLint ok = GL_FALSE;
    getStatus(object, status, &ok);
    if (ok) return object;
    char log[2048];
    getLog(object, sizeof log, nullptr, log);
    std::fprintf(stderr, "%s: %s\n", what, log);
    destroy(object);
    return 0;
}

GLuint Compile(GLenum type, const std::string& prefix, const char* shared, const char* source)
{
    GLuint shader = glCreateShader(type);
    const std::string header = "#version 130\n" + prefix;
    const char* parts[3] = {header.c_str(), shared, source};
    glShaderSource(shader, 3, parts, nullptr);
    glCompileShader(shader);
    return Checked(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog, glDeleteShader, "device shader");
}

// The fixed-function program gets the fog functions in both stages and its attributes bound;
// the overlay's only attribute is its corner.
GLuint Link(const char* vertex, const std::string& fragmentPrefix, const char* fragment, bool fixedFunction)
{
    const char* shared = fixedFunction ? kFogSource : "";
    GLuint vs = Compile(GL_VERTEX_SHADER, "", shared, vertex);
    GLuint fs = Compile(GL_FRAGMENT_SHADER, fragmentPrefix, shared, fragment);
    if (!vs || !fs) {
        if (vs) glDeleteShader(vs);
        if (fs) glDeleteShader(fs);
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindAttribLocation(program, 0, fixedFunction ? "aPosition" : "aCorner");
    if (fixedFunction) {
        glBindAttribLocation(program, kAttrNormal, "aNormal");
        glBindAttribLocation(program, kAttrDiffuse, "aDiffuse");
        glBindAttribLocation(program, kAttrSpecular, "aSpecular");
        glBindAttribLocation(program, kAttrTexCoord, "aTexCoord");
        glBindAttribLocation(program, kAttrPointSize, "aPointSize");
    }
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    return Checked(program, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog, glDeleteProgram, "device program");
}

std::string FragmentConstants(const FragmentChoices& c)
{
    char text[512];
    std::snprintf(text, sizeof text,
                  "const int kColorOp = %d;\nconst int kColorArg1 = %d;\nconst int kColorArg2 = %d;\n"
                  "const int kAlphaOp = %d;\nconst int kAlphaArg1 = %d;\nconst int kAlphaArg2 = %d;\n"
                  "const int kFogMode = %d;\nconst int kVertexFog = %d;\nconst int kAlphaFunc = %d;\n"
                  "const bool kHasTexture = %s;\nconst bool kSpriteCoords = %s;\n"
                  "const bool kAlphaTest = %s;\nconst bool kSpecular = %s;\n",
                  c.colorOp, c.colorArg1, c.colorArg2, c.alphaOp, c.alphaArg1, c.alphaArg2, c.fogMode, kVertexFog,
                  c.alphaFunc, c.hasTexture ? "true" : "false", c.spriteCoords ? "true" : "false", c.alphaTest ? "true" : "false",
                  c.specular ? "true" : "false");
    return text;
}

void FindUniforms(Program& p)
{
    auto at = [&p](const char* name) { return glGetUniformLocation(p.name, name); };
    p.world = at("uWorld");
    p.view = at("uView");
    p.projection = at("uProjection");
    p.normalMatrix = at("uNormalMatrix");
    p.viewportSize = at("uViewportSize");
    p.pretransformed = at("uPretransformed");
    p.hasNormal = at("uHasNormal");
    p.hasDiffuse = at("uHasDiffuse");
    p.hasSpecular = at("uHasSpecular");
    p.hasPointSize = at("uHasPointSize");
    p.lighting = at("uLighting");
    p.specularEnable = at("uSpecularEnable");
    p.localViewer = at("uLocalViewer");
    p.normalize = at("uNormalize");
    p.diffuseSource = at("uDiffuseSource");
    p.ambientSource = at("uAmbientSource");
    p.specularSource = at("uSpecularSource");
    p.emissiveSource = at("uEmissiveSource");
    p.matDiffuse = at("uMatDiffuse");
    p.matAmbient = at("uMatAmbient");
    p.matSpecular = at("uMatSpecular");
    p.matEmissive = at("uMatEmissive");
    p.matPower = at("uMatPower");
    p.globalAmbient = at("uGlobalAmbient");
    p.lightCount = at("uLightCount");
    p.lightType = at("uLightType");
    p.lightDiffuse = at("uLightDiffuse");
    p.lightSpecular = at("uLightSpecular");
    p.lightAmbient = at("uLightAmbient");
    p.lightPosition = at("uLightPosition");
    p.lightDirection = at("uLightDirection");
    p.lightAttenuation = at("uLightAttenuation");
    p.lightSpot = at("uLightSpot");
    p.isPoint = at("uIsPoint");
    p.pointScale = at("uPointScale");
    p.pointSize = at("uPointSize");
    p.pointMin = at("uPointMin");
    p.pointMax = at("uPointMax");
    p.pointScaleAbc = at("uPointScaleAbc");
    p.fogVertexMode = at("uFogVertexMode");
    p.rangeFog = at("uRangeFog");
    p.textureFactor = at("uTextureFactor");
    p.fogParams = at("uFogParams");
    p.fogColor = at("uFogColor");
    p.alphaRef = at("uAlphaRef");
}

}  // namespace

std::uint64_t FragmentChoices::Key() const
{
    std::uint64_t key = 0;
    for (int field : {colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2}) key = (key << 6) | (field & 0x3F);
    key = (key << 3) | (fogMode & 7);
    key = (key << 4) | (alphaFunc & 0xF);
    for (bool flag : {hasTexture, spriteCoords, alphaTest, specular}) key = (key << 1) | (flag ? 1 : 0);
    return key;
}

const Program* ProgramCache::Get(const FragmentChoices& choices)
{
    const std::uint64_t key = choices.Key();
    auto found = m_Programs.find(key);
    if (found != m_Programs.end()) return &found->second;
    if (m_Broken) return nullptr;
    Program p;
    p.name = Link(kVertexShader, FragmentConstants(choices), kFragmentShader, true);
    if (!p.name) {
        // The same source would fail again for every other choice.
        m_Broken = true;
        return nullptr;
    }
    FindUniforms(p);
    return &m_Programs.emplace(key, p).first->second;
}

const OverlayProgram* ProgramCache::Overlay()
{
    if (m_Overlay.name) return &m_Overlay;
    m_Overlay.name = Link(kOverlayVertex, "", kOverlayFragment, false);
    if (!m_Overlay.name) return nullptr;
    m_Overlay.rect = glGetUniformLocation(m_Overlay.name, "uRect");
    m_Overlay.viewportSize = glGetUniformLocation(m_Overlay.name, "uViewportSize");
    glGenTextures(1, &m_Overlay.textureName);
    glBindTexture(GL_TEXTURE_2D, m_Overlay.textureName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return &m_Overlay;
}

ProgramCache::~ProgramCache()
{
    for (auto& [key, p] : m_Programs) glDeleteProgram(p.name);
    if (m_Overlay.name) glDeleteProgram(m_Overlay.name);
    if (m_Overlay.textureName) glDeleteTextures(1, &m_Overlay.textureName);
}

}  // namespace platform::d3d
