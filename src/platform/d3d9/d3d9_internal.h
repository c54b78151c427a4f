// What the D3DX helpers of the layer need from the device beyond Direct3D's own interface:
// textures made from decoded pixels, shared between loads of one file and held to a budget, and
// a screen-space overlay for text with the back buffer's bounds. Every texture handed to
// SetTexture must come from the functions below.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/d3d9.h"
#include "platform/files.h"

namespace platform::d3d9 {

// The largest texture side the device takes, as GetDeviceCaps reports it: the texture functions
// below refuse anything larger, and image files are refused before their pixels are decoded.
constexpr UINT kMaxTextureSize = 8192;

// The most texture memory a device holds at once, counted over its distinct live images (four
// bytes a pixel, DXT by its blocks). A texture that would pass it is not made, so a file beyond
// it fails to load as a missing one does. Tests may set less (seams::SetTextureBudget).
constexpr std::size_t kTextureBudget = std::size_t{1} << 30;

// The file an image was decoded from: loads of one unchanged file share one image.
using TextureFile = platform::FileVersion;

// A new texture over the image of a texture made from that file, while one lives: a texture of
// its own (the caller holds one reference to it) sharing the pixels. Null when none lives.
IDirect3DTexture9* ShareFileTexture(IDirect3DDevice9* device, const TextureFile& file);

// A texture of width x height from RGBA8 pixels, top row first; its level reads as
// D3DFMT_A8R8G8B8. Null when the device cannot make it (a side beyond kMaxTextureSize, or the
// budget spent). Given the file the pixels came from, later loads of it may share them.
IDirect3DTexture9* CreateTextureFromRgba(IDirect3DDevice9* device, UINT width, UINT height, const std::uint8_t* rgba,
                                         const TextureFile* file = nullptr);

// A texture from DXT1, DXT3 or DXT5 blocks of the whole top level (4 x 4 texels a block, rows
// of blocks top first). Null when the format or the size is wrong, or the budget spent.
IDirect3DTexture9* CreateTextureFromDxt(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format,
                                        const std::uint8_t* blocks, std::size_t size,
                                        const TextureFile* file = nullptr);

// Draws RGBA8 pixels (top row first) over the back buffer with their top-left corner at (x, y)
// in back-buffer pixels, blended by their alpha. Neither depends on nor changes any device state.
void DrawOverlay(IDirect3DDevice9* device, int x, int y, int width, int height, const std::uint8_t* rgba);
// The back buffer's pixels: all that an overlay can show.
RECT BackBufferRect(IDirect3DDevice9* device);

}  // namespace platform::d3d9
