// A bitmap file read as one grey value per pixel, for height maps. The file stays loaded and its
// pixels are read when asked for: a height map's grid reads a few of them, and a bitmap of any
// size costs its file's bytes, not a value per pixel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/objectbase.h"
#include "platform/win32.h"

class CGrayBitmap : public CObject {
public:
    std::string strFileName;
    int nWidth = 0;
    int nHeight = 0;

    // Loads the file at once (relative to the current folder).
    explicit CGrayBitmap(const std::string& fileName);
    CGrayBitmap(const CGrayBitmap&) = delete;
    CGrayBitmap& operator=(const CGrayBitmap&) = delete;
    ~CGrayBitmap();

    // A file that cannot be read as a bitmap is reported and leaves sizes 0 and no pixels.
    void Load(const std::string& fileName);
    bool IsLoaded() const { return bitmap != nullptr; }
    // The grey values at the crossings of `columns` and `rows` (each strictly ascending and inside
    // the bitmap, rows counted from the top), row by row: each pixel as the display holds it,
    // (blue + green + red) / 3, 0 to 255 on a 32-bit display, 0 to 41 on a 16-bit one (its
    // channels are not scaled). Empty when nothing is loaded or an index is outside.
    std::vector<std::uint32_t> GetGreys(const std::vector<int>& columns, const std::vector<int>& rows) const;

private:
    HBITMAP bitmap = nullptr;
    int bitsPerPixel = 0;
};

// The report of a file that cannot be read as a bitmap.
std::string UnreadableBitmapText(const std::string& fileName);
