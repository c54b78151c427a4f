// Texture files on any bytes, loaded through the device as the engine loads them: twice from one
// file, the second sharing the first's pixels, under a texture budget the first byte picks; then
// the second written through a lock, which must leave the first as it was, and both released in
// the order the first byte picks.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/d3dx9.h"
#include "platform/seams.h"
#include "support/fuzzsupport.h"
#include "support/testdevice.h"

namespace {

IDirect3DDevice9* g_Device = nullptr;

// The first texel, or 0 when the texture cannot be read (DXT is not lockable).
D3DCOLOR FirstTexel(IDirect3DTexture9* texture)
{
    D3DLOCKED_RECT locked{};
    if (texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY) != D3D_OK)
        return 0;
    D3DCOLOR c;
    std::memcpy(&c, locked.pBits, sizeof c);
    texture->UnlockRect(0);
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    g_Device = testutil::MakeTestDevice(16, 16);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    if (!g_Device)
        return 0;
    const std::uint8_t choice = fuzz::TakeByte(data, size);
    // From no room at all to room for a 512 x 508 image.
    platform::seams::SetTextureBudget(static_cast<std::size_t>(choice & 0x7F) << 13);
    const std::string path = fuzz::WriteInput(data, size, "texture.img");
    IDirect3DTexture9* first = nullptr;
    IDirect3DTexture9* second = nullptr;
    const HRESULT a = D3DXCreateTextureFromFileA(g_Device, path.c_str(), &first);
    const HRESULT b = D3DXCreateTextureFromFileA(g_Device, path.c_str(), &second);
    // A file that loaded once loads again, needing no more room.
    if (SUCCEEDED(a) != (first != nullptr) || SUCCEEDED(b) != (second != nullptr) || SUCCEEDED(a) != SUCCEEDED(b))
        __builtin_trap();
    if (!first)
        return 0;
    D3DSURFACE_DESC da{}, db{};
    first->GetLevelDesc(0, &da);
    second->GetLevelDesc(0, &db);
    if (first == second || da.Format != db.Format || da.Width != db.Width || da.Height != db.Height)
        __builtin_trap();
    const D3DCOLOR before = FirstTexel(first);
    D3DLOCKED_RECT locked{};
    if (second->LockRect(0, &locked, nullptr, 0) == D3D_OK) {
        std::memset(locked.pBits, 0x5A, static_cast<std::size_t>(locked.Pitch) * db.Height);
        second->UnlockRect(0);
        if (FirstTexel(first) != before)
            __builtin_trap();
    }
    if (choice & 0x80)
        std::swap(first, second);
    first->Release();
    second->Release();
    return 0;
}
