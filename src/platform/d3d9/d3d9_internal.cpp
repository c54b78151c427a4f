// The device services of d3d9_internal.h.
#include "platform/d3d9/d3d9_internal.h"

#include "platform/d3d9/d3d9_device.h"

namespace platform::d3d9 {

IDirect3DTexture9* CreateTextureFromRgba(IDirect3DDevice9* device, UINT width, UINT height, const std::uint8_t* rgba)
{
    if (!device || !rgba || width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize)
        return nullptr;
    auto* d = static_cast<d3d::Device*>(device);
    auto* texture = new d3d::Texture(d, width, height, D3DFMT_A8R8G8B8);
    texture->UploadRgba(rgba);
    return texture;
}

IDirect3DTexture9* CreateTextureFromDxt(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format,
                                        const std::uint8_t* blocks, std::size_t size)
{
    if (!device || !blocks || width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize)
        return nullptr;
    auto* d = static_cast<d3d::Device*>(device);
    auto* texture = new d3d::Texture(d, width, height, format);
    if (!texture->UploadCompressed(format, blocks, size)) {
        texture->Release();
        return nullptr;
    }
    return texture;
}

void DrawOverlay(IDirect3DDevice9* device, int x, int y, int width, int height, const std::uint8_t* rgba)
{
    if (device) static_cast<d3d::Device*>(device)->DrawOverlay(x, y, width, height, rgba);
}

RECT BackBufferRect(IDirect3DDevice9* device)
{
    return device ? static_cast<d3d::Device*>(device)->BackBufferRect() : RECT{0, 0, 0, 0};
}

}  // namespace platform::d3d9
