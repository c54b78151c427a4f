// Small media files made in memory for tests: DDS headers, images in the common formats and
// 16-bit mono WAV files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/imagedecode.h"

namespace testutil {

// The 128-byte header of a DDS file (magic included): a FourCC format when `fourCC` is given,
// otherwise `bits` per pixel with the R, G, B and A masks of A8R8G8B8.
std::string DdsHeader(int width, int height, std::uint32_t pixelFlags, const char* fourCC, std::uint32_t bits);

// Pictures of `channels` bytes a pixel, top row first, encoded as PNG, BMP, TGA or JPEG (of the
// given quality); empty when the encoder fails.
std::string PngFile(int width, int height, int channels, const std::vector<std::uint8_t>& pixels);
std::string BmpFile(int width, int height, int channels, const std::vector<std::uint8_t>& pixels);
std::string TgaFile(int width, int height, int channels, const std::vector<std::uint8_t>& pixels);
std::string JpgFile(int width, int height, int channels, const std::vector<std::uint8_t>& pixels, int quality);

// An uncompressed BMP file of `bits` per pixel (1, 4, 8, 16, 24, 32) with a 40-byte header,
// rows padded to 4 bytes. `pixels`, top row first, are palette indices up to 8 bits, else the
// pixel as stored (16 bits: 5-5-5 or, with `masks` R, G, B and perhaps A, the fields they give;
// 24 and 32 bits: 0xRRGGBB, 32 bits with a fourth byte above). `palette` entries are 0xRRGGBB,
// written at any depth. Bottom-up unless `topDown`.
std::string BmpWithBits(int width, int height, int bits, const std::vector<std::uint32_t>& pixels,
                        const std::vector<std::uint32_t>& palette = {}, bool topDown = false,
                        const std::vector<std::uint32_t>& masks = {});

// platform::DecodeImage on the bytes of a file.
bool DecodeImageBytes(const std::string& bytes, platform::RgbaImage& out);

// A 16-bit mono PCM WAV file.
std::string WavFile(const std::vector<std::int16_t>& samples, int rate = 44100);

}  // namespace testutil
