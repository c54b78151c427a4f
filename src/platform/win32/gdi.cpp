// Bitmaps loaded from files as device-dependent bitmaps in the display's format, and the
// device contexts the engine selects them into. A bitmap keeps its file and decodes the pixels
// it is asked for. Handles are checked against the live ones, so a stale or foreign handle fails
// instead of being read.
#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <set>
#include <string>
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
    std::string file;  // the BMP file's bytes
};

struct DeviceContext {
    HGDIOBJ selected = nullptr;
};

// What a new device context holds selected, as on Windows: a one-pixel bitmap.
Bitmap g_DefaultBitmap{1, 1, 32, {}};

std::set<const void*> g_Bitmaps;
std::set<const void*> g_Contexts;
int g_DisplayBits = 32;

Bitmap* LiveBitmap(const void* handle)
{
    if (handle == &g_DefaultBitmap)
        return &g_DefaultBitmap;
    return g_Bitmaps.count(handle) ? static_cast<Bitmap*>(const_cast<void*>(handle)) : nullptr;
}

// RGBA pixels as the display holds them: 5-6-5 or B, G, R, 0.
void ToDisplayFormat(const std::vector<std::uint8_t>& rgba, int bitsPerPixel, std::uint8_t* out)
{
    for (std::size_t i = 0; i < rgba.size() / 4; ++i) {
        const std::uint8_t* p = &rgba[i * 4];
        if (bitsPerPixel == 16) {
            const unsigned w = ((p[0] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[2] >> 3);
            out[i * 2] = static_cast<std::uint8_t>(w & 0xFF);
            out[i * 2 + 1] = static_cast<std::uint8_t>(w >> 8);
        } else {
            out[i * 4] = p[2];
            out[i * 4 + 1] = p[1];
            out[i * 4 + 2] = p[0];
            out[i * 4 + 3] = 0;
        }
    }
}

const std::uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

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
    auto bitmap = std::make_unique<Bitmap>();
    if (!platform::ReadFileBytes(name, bitmap->file) ||
        !platform::ReadBmpSize(Bytes(bitmap->file), bitmap->file.size(), bitmap->width, bitmap->height))
        return nullptr;
    bitmap->bitsPerPixel = g_DisplayBits;
    g_Bitmaps.insert(bitmap.get());
    return bitmap.release();
}

int GetObjectA(HANDLE object, int size, LPVOID out)
{
    const Bitmap* b = LiveBitmap(object);
    if (!b || !out || size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP desc{};
    desc.bmWidth = b->width;
    desc.bmHeight = b->height;
    const long long rowBytes = static_cast<long long>(b->width) * (b->bitsPerPixel / 8);
    desc.bmWidthBytes = static_cast<LONG>(std::min<long long>(rowBytes, LONG_MAX));
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

LONG GetBitmapSamples(HBITMAP bitmap, const int* columns, int columnCount, const int* rows, int rowCount,
                      LPVOID bits)
{
    const Bitmap* b = LiveBitmap(bitmap);
    const long long bytes = static_cast<long long>(columnCount) * rowCount * (b ? b->bitsPerPixel / 8 : 0);
    if (!b || !bits || (!columns && columnCount) || (!rows && rowCount) || columnCount < 0 ||
        rowCount < 0 || bytes > LONG_MAX)
        return 0;
    std::vector<std::uint8_t> rgba;
    if (!platform::SampleBmp(Bytes(b->file), b->file.size(), std::vector<int>(columns, columns + columnCount),
                             std::vector<int>(rows, rows + rowCount), rgba))
        return 0;
    ToDisplayFormat(rgba, b->bitsPerPixel, static_cast<std::uint8_t*>(bits));
    return static_cast<LONG>(bytes);
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
