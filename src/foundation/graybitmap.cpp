#include "foundation/graybitmap.h"

#include <vector>

#include "platform/win32.h"

CGrayBitmap::CGrayBitmap(const std::string& fileName) : strFileName(fileName) { Load(fileName); }

void CGrayBitmap::Load(const std::string& fileName)
{
    pData.reset();
    nWidth = nHeight = 0;
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!bitmap) {
        Error("bmp文件不存在:" + fileName);
        return;
    }
    BITMAP desc{};
    GetObjectA(bitmap, sizeof desc, &desc);
    const int bytesPerPixel = desc.bmBitsPixel / 8;
    const std::size_t pixels = static_cast<std::size_t>(desc.bmWidth) * desc.bmHeight;
    std::vector<std::uint8_t> bytes(pixels * bytesPerPixel);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    GetBitmapBits(bitmap, static_cast<LONG>(bytes.size()), bytes.data());

    nWidth = desc.bmWidth;
    nHeight = desc.bmHeight;
    // Depths other than 32, 24 and 16 bits give 0 for every pixel.
    pData = std::make_unique<std::uint32_t[]>(pixels);
    for (std::size_t i = 0; i < pixels && bytesPerPixel >= 2; ++i) {
        const std::uint8_t* p = &bytes[i * bytesPerPixel];
        if (bytesPerPixel == 2) {
            const unsigned w = p[0] | (p[1] << 8);
            pData[i] = ((w & 0x1F) + ((w & 0x7E0) >> 5) + ((w & 0xF800) >> 11)) / 3;
        } else {
            pData[i] = (p[0] + p[1] + p[2]) / 3u;
        }
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
