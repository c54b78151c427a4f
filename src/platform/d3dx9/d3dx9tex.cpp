// DXT-coded DDS files go to the device as blocks when it takes them; everything else, and DXT
// the device refuses, is decoded to RGBA here. A file is decoded once while any texture made
// from it lives: loading it again, unchanged, gives a new texture over the same pixels.
#include "platform/d3dx9tex.h"

#include <optional>

#include "platform/d3d9/d3d9_internal.h"
#include "platform/files.h"
#include "platform/imagedecode.h"

namespace {

D3DFORMAT DxtFormat(platform::DxtKind kind)
{
    switch (kind) {
    case platform::DxtKind::Dxt1:
        return D3DFMT_DXT1;
    case platform::DxtKind::Dxt3:
        return D3DFMT_DXT3;
    case platform::DxtKind::Dxt5:
        return D3DFMT_DXT5;
    }
    return D3DFMT_UNKNOWN;
}

}  // namespace

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR fileName, IDirect3DTexture9** texture)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device || !fileName)
        return D3DERR_INVALIDCALL;
    // Read after the version is taken: a change made in between makes a later load read again.
    const std::optional<platform::FileVersion> file = platform::CurrentFileVersion(fileName);
    const platform::d3d9::TextureFile* version = file ? &*file : nullptr;
    if (version && (*texture = platform::d3d9::ShareFileTexture(device, *version)))
        return D3D_OK;
    std::string bytes;
    if (!platform::ReadFileBytes(fileName, bytes))
        return E_FAIL;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    platform::DxtBlocks dxt;
    if (platform::FindDxtBlocks(data, bytes.size(), dxt)) {
        *texture = platform::d3d9::CreateTextureFromDxt(device, static_cast<UINT>(dxt.width),
                                                        static_cast<UINT>(dxt.height), DxtFormat(dxt.kind), dxt.blocks,
                                                        dxt.size, version);
        if (*texture)
            return D3D_OK;
    }
    platform::RgbaImage image;
    if (!platform::DecodeImage(data, bytes.size(), image, static_cast<int>(platform::d3d9::kMaxTextureSize)))
        return E_FAIL;
    *texture = platform::d3d9::CreateTextureFromRgba(device, static_cast<UINT>(image.width),
                                                     static_cast<UINT>(image.height), image.rgba.data(), version);
    return *texture ? D3D_OK : E_FAIL;
}
