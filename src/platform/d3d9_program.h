// The one GLSL program pair that computes Direct3D 9's fixed-function pipeline from uniforms,
// and the small program that draws overlays.
#pragma once

#include "platform/d3d9_device.h"

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
    GLint texture, hasTexture, colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2, textureFactor;
    GLint spriteCoords, fogMode, fogParams, fogColor, alphaTest, alphaFunc, alphaRef;

    GLuint overlay = 0;
    GLint overlayTexture, overlayRect, overlayViewport;
    GLuint overlayTextureName = 0;
};

// Compiles and links both programs in the current context; null when GL refuses them (the
// log goes to stderr).
Program* BuildProgram();
void DestroyProgram(Program* program);

}  // namespace platform::d3d
