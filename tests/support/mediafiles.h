// Small media files made in memory for tests: DDS headers and 16-bit mono WAV files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testutil {

// The 128-byte header of a DDS file (magic included): a FourCC format when `fourCC` is given,
// otherwise `bits` per pixel with the R, G, B and A masks of A8R8G8B8.
std::string DdsHeader(int width, int height, std::uint32_t pixelFlags, const char* fourCC, std::uint32_t bits);

// A 16-bit mono PCM WAV file.
std::string WavFile(const std::vector<std::int16_t>& samples, int rate = 44100);

}  // namespace testutil
