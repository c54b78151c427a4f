// Image files made for the hostile-data cases.
#pragma once

#include <string>

namespace hostiledata {

// A side x side image of one colour as a run-length TGA: about side² / 26 bytes, which decode to
// side² × 4.
inline std::string OneColourTga(int side)
{
    std::string tga(18, '\0');
    tga[2] = 10;  // run-length true colour
    tga[12] = tga[14] = static_cast<char>(side & 0xFF);
    tga[13] = tga[15] = static_cast<char>(side >> 8);
    tga[16] = 32;
    const std::string run = "\xFF\x40\x80\xC0\xFF";  // 128 pixels of one colour
    const long runs = static_cast<long>(side) * side / 128;
    tga.reserve(tga.size() + static_cast<std::size_t>(runs) * run.size());
    for (long i = 0; i < runs; ++i)
        tga += run;
    return tga;
}

}  // namespace hostiledata
