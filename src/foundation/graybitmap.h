// A bitmap file read as one grey value per pixel, for height maps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/objectbase.h"

class CGrayBitmap : public CObject {
public:
    std::string strFileName;
    std::unique_ptr<std::uint32_t[]> pData;  // nWidth * nHeight values, top row first
    int nWidth = 0;
    int nHeight = 0;

    // Loads the file at once (relative to the current folder).
    explicit CGrayBitmap(const std::string& fileName);
    CGrayBitmap(const CGrayBitmap&) = delete;
    CGrayBitmap& operator=(const CGrayBitmap&) = delete;

    // The bitmap as the display holds it, each pixel (blue + green + red) / 3: 0 to 255 on a
    // 32-bit display, 0 to 41 on a 16-bit one (its channels are not scaled). A file that cannot
    // be read as a bitmap is reported and leaves no values and sizes 0.
    void Load(const std::string& fileName);
    const std::uint32_t* GetData() const { return pData.get(); }
};
