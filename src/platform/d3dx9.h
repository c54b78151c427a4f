// The D3DX 9 subset the engine uses: math, textures from image files, fonts and .x meshes,
// implemented in d3dx9/.
#pragma once

#include "platform/d3dx9core.h"
#include "platform/d3dx9math.h"
#include "platform/d3dx9mesh.h"
#include "platform/d3dx9tex.h"
