// Textures from image files: BMP, PNG, JPG, TGA and DDS (DXT1/3/5, 32 and 24 bits).
#pragma once

#include "platform/d3d9.h"

// The file name is taken as given, relative to the current folder; the texture has the image's
// own size, one level, 32-bit ARGB. Each call gives a texture of its own, but a file loaded again
// unchanged while a texture of it lives shares that texture's pixels. A texture that would take
// the device past its texture budget is not made: the call fails as for a missing file.
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR fileName, IDirect3DTexture9** texture);
