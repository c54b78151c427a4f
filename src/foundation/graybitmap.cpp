#include "foundation/graybitmap.h"

CGrayBitmap::CGrayBitmap(const std::string& fileName) : strFileName(fileName) { Load(fileName); }

CGrayBitmap::~CGrayBitmap()
{
    if (bitmap)
        DeleteObject(bitmap);
}

std::string UnreadableBitmapText(const std::string& fileName) { return "bmp文件不存在:" + fileName; }

void CGrayBitmap::Load(const std::string& fileName)
{
    if (bitmap)
        DeleteObject(bitmap);
    nWidth = nHeight = bitsPerPixel = 0;
    bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!bitmap) {
        Error(UnreadableBitmapText(fileName));
        return;
    }
    BITMAP desc{};
    GetObjectA(bitmap, sizeof desc, &desc);
    nWidth = desc.bmWidth;
    nHeight = desc.bmHeight;
    bitsPerPixel = desc.bmBitsPixel;
}

std::vector<std::uint32_t> CGrayBitmap::GetGreys(const std::vector<int>& columns, const std::vector<int>& rows) const
{
    const int bytesPerPixel = bitsPerPixel / 8;
    const std::size_t pixels = columns.size() * rows.size();
    std::vector<std::uint8_t> bytes(pixels * bytesPerPixel);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    const bool read = bitmap && GetBitmapSamples(bitmap, columns.data(), static_cast<int>(columns.size()),
                                                 rows.data(), static_cast<int>(rows.size()), bytes.data()) > 0;
    SelectObject(dc, previous);
    DeleteDC(dc);
    if (!read)
        return {};
    // A 16-bit display's word is 5-6-5; the 32-bit one's bytes are blue, green, red, 0.
    std::vector<std::uint32_t> greys(pixels);
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* p = &bytes[i * bytesPerPixel];
        if (bytesPerPixel == 2) {
            const unsigned w = p[0] | (p[1] << 8);
            greys[i] = ((w & 0x1F) + ((w & 0x7E0) >> 5) + ((w & 0xF800) >> 11)) / 3;
        } else {
            greys[i] = (p[0] + p[1] + p[2]) / 3u;
        }
    }
    return greys;
}
