// Bitmaps loaded from files as device-dependent bitmaps in the display's format, and the
// device contexts the engine selects them into. Handles are checked against the live ones, so a
// stale or foreign handle fails instead of being read.
#include <algorithm>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/imagedecode.h"
#include "platform/seams.h"
#include "platform/win32.h"

namespace {

struct Bitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<std::uint8_t> bits;  // rows top first, width * bitsPerPixel / 8 bytes each
};

struct DeviceContext {
    HGDIOBJ selected = nullptr;
};

// What a new device context holds selected, as on Windows: a one-pixel bitmap.
Bitmap g_DefaultBitmap{1, 1, 32, std::vector<std::uint8_t>(4, 0)};

std::set<const void*> g_Bitmaps;
std::set<const void*> g_Contexts;
int g_DisplayBits = 32;

Bitmap* LiveBitmap(const void* handle)
{
    if (handle == &g_DefaultBitmap)
        return &g_DefaultBitmap;
    return g_Bitmaps.count(handle) ? static_cast<Bitmap*>(const_cast<void*>(handle)) : nullptr;
}

// The picture as the display holds it.
Bitmap ToDisplayFormat(const platform::RgbaImage& image)
{
    Bitmap b;
    b.width = image.width;
    b.height = image.height;
    b.bitsPerPixel = g_DisplayBits;
    const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
    b.bits.resize(pixels * (g_DisplayBits / 8));
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* p = &image.rgba[i * 4];
        if (g_DisplayBits == 16) {
            const unsigned w = ((p[0] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[2] >> 3);
            b.bits[i * 2] = static_cast<std::uint8_t>(w & 0xFF);
            b.bits[i * 2 + 1] = static_cast<std::uint8_t>(w >> 8);
        } else {
            b.bits[i * 4] = p[2];
            b.bits[i * 4 + 1] = p[1];
            b.bits[i * 4 + 2] = p[0];
            b.bits[i * 4 + 3] = 0;
        }
    }
    return b;
}

}  // namespace

namespace platform::seams {

void SetDisplayBitsPerPixel(int bits)
{
    g_DisplayBits = bits == 16 ? 16 : 32;
}

}  // namespace platform::seams

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags)
{
    if (!name || type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE))
        return nullptr;
    std::string bytes;
    platform::RgbaImage image;
    if (!platform::ReadFileBytes(name, bytes) ||
        !platform::DecodeBmp(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), image))
        return nullptr;
    Bitmap* bitmap = new Bitmap(ToDisplayFormat(image));
    g_Bitmaps.insert(bitmap);
    return bitmap;
}

int GetObjectA(HANDLE object, int size, LPVOID out)
{
    const Bitmap* b = LiveBitmap(object);
    if (!b || !out || size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP desc{};
    desc.bmWidth = b->width;
    desc.bmHeight = b->height;
    desc.bmWidthBytes = b->width * b->bitsPerPixel / 8;
    desc.bmPlanes = 1;
    desc.bmBitsPixel = static_cast<WORD>(b->bitsPerPixel);
    std::memcpy(out, &desc, sizeof desc);
    return sizeof desc;
}

HDC CreateCompatibleDC(HDC dc)
{
    DeviceContext* made = new DeviceContext{reinterpret_cast<HGDIOBJ>(&g_DefaultBitmap)};
    g_Contexts.insert(made);
    return reinterpret_cast<HDC>(made);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    if (!g_Contexts.count(dc) || !LiveBitmap(object))
        return nullptr;
    DeviceContext* context = reinterpret_cast<DeviceContext*>(dc);
    return std::exchange(context->selected, object);
}

LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits)
{
    const Bitmap* b = LiveBitmap(bitmap);
    if (!b || !bits || size <= 0)
        return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(size), b->bits.size());
    std::memcpy(bits, b->bits.data(), n);
    return static_cast<LONG>(n);
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (!g_Bitmaps.erase(object))
        return FALSE;
    delete reinterpret_cast<Bitmap*>(object);
    return TRUE;
}

BOOL DeleteDC(HDC dc)
{
    if (!g_Contexts.erase(dc))
        return FALSE;
    delete reinterpret_cast<DeviceContext*>(dc);
    return TRUE;
}
