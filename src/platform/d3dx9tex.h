// Textures from image files: BMP, PNG, JPG, TGA and DDS (DXT1/3/5, 32 and 24 bits).
#pragma once

#include "platform/d3d9.h"

// The file name is taken as given, relative to the current folder; the texture has the image's
// own size, one level, 32-bit ARGB.
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR fileName, IDirect3DTexture9** texture);
