// The device services of d3d9_internal.h.
#include "platform/d3d9/d3d9_internal.h"

#include "platform/d3d9/d3d9_device.h"

namespace platform::d3d9 {

namespace {

IDirect3DTexture9* Wrap(IDirect3DDevice9* device, std::shared_ptr<d3d::TextureImage> image, const TextureFile* file)
{
    auto* d = static_cast<d3d::Device*>(device);
    if (file) d->ShareByFile(image, *file);
    return new d3d::Texture(d, std::move(image));
}

}  // namespace

IDirect3DTexture9* ShareFileTexture(IDirect3DDevice9* device, const TextureFile& file)
{
    if (!device) return nullptr;
    std::shared_ptr<d3d::TextureImage> image = static_cast<d3d::Device*>(device)->FileImage(file);
    return image ? Wrap(device, std::move(image), nullptr) : nullptr;
}

IDirect3DTexture9* CreateTextureFromRgba(IDirect3DDevice9* device, UINT width, UINT height, const std::uint8_t* rgba,
                                         const TextureFile* file)
{
    if (!device || !rgba) return nullptr;
    auto image = static_cast<d3d::Device*>(device)->NewTextureImage(width, height, D3DFMT_A8R8G8B8);
    if (!image) return nullptr;
    image->UploadRgba(rgba);
    return Wrap(device, std::move(image), file);
}

IDirect3DTexture9* CreateTextureFromDxt(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format,
                                        const std::uint8_t* blocks, std::size_t size, const TextureFile* file)
{
    if (!device || !blocks) return nullptr;
    auto image = static_cast<d3d::Device*>(device)->NewTextureImage(width, height, format);
    if (!image || !image->UploadCompressed(blocks, size)) return nullptr;
    return Wrap(device, std::move(image), file);
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
