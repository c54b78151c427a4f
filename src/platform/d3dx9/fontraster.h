// Text rasterizing for the D3DX font: a face chosen through fontconfig (Windows face names
// mapped to what Linux has, with a CJK face for the glyphs the face lacks), FreeType glyphs
// cached per font, and the layout of DrawText: alignment, "\n" line breaks and clipping to the
// rectangle. The result is a coverage mask in screen pixels, ready to be tinted and drawn.
// Fonts of one face, size and style share one rasterizer and its glyphs, and every size of a
// font file shares the file's loaded face.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"

namespace platform {

struct FontRequest {
    int height = 0;  // cell height in pixels (ascent + descent); negative: em size; 0: 16
    int width = 0;   // average character width; 0: the face's natural width
    int weight = 400;
    bool italic = false;
    std::string faceName;  // GBK, as the engine gives it
};

// Coverage 0..255 of the drawn text, `width` x `height` pixels whose top left lies at
// (`left`, `top`) on the screen. Empty when nothing visible was drawn.
struct TextMask {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;
};

class FontRasterizer {
public:
    // Null when no usable face can be found at all. Requests that draw alike (the same face,
    // size, width, boldness and slant) get rasterizers that share their glyphs.
    static std::unique_ptr<FontRasterizer> Create(const FontRequest& request);
    ~FontRasterizer();

    // Lays GBK text out in `rect` with the DT_ flags and rasterizes it into `out`, clipped to
    // the rectangle (unless DT_NOCLIP) and to `bounds` when given (the screen). `count` bytes of
    // text, or all of it when negative. Returns the height of the laid-out text. Only what can
    // be seen is placed and rendered: lines beyond the clip are counted, not read.
    int Layout(std::string_view gbkText, int count, const RECT& rect, DWORD format, TextMask& out,
               const RECT* bounds = nullptr);

    int LineHeight() const;
    // The file of the face chosen for the face name, for tests and diagnostics.
    const std::string& FaceFile() const;
    // Whether a character is drawn from a face that has it (the face or the CJK fallback).
    bool HasGlyph(char32_t ch);
    // How many glyph images have been rendered so far, for tests and diagnostics.
    std::size_t GlyphsRendered() const;

    struct Impl;

private:
    explicit FontRasterizer(std::shared_ptr<Impl> impl);
    std::shared_ptr<Impl> m_impl;
};

}  // namespace platform
