// FreeType and fontconfig behind the D3DX font. Glyphs are rendered from outlines (never the
// embedded bitmaps) so that the synthetic slant and emboldening apply to every face alike.
#include "platform/d3dx9/fontraster.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include "platform/ascii.h"
#include "platform/gbk.h"
#include "platform/textformat.h"

namespace platform {
namespace {

constexpr const char* kCjkFamily = "WenQuanYi Zen Hei";

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0)
            lib = nullptr;
        return lib;
    }();
    return library;
}

// Windows Chinese face names, compared as the engine spells them (GBK) without regard to ASCII
// case; Linux has none of them, and WenQuanYi Zen Hei covers the same characters.
bool IsWindowsCjkFace(const std::string& gbkName)
{
    static const char* const kNames[] = {"宋体", "新宋体", "黑体", "楷体", "楷体_GB2312", "仿宋", "仿宋_GB2312",
                                         "微软雅黑", "simsun", "nsimsun", "simhei", "kaiti", "fangsong",
                                         "microsoft yahei"};
    const std::string lower = AsciiLower(gbkName);
    for (const char* name : kNames)
        if (lower == AsciiLower(name))
            return true;
    return false;
}

struct FaceLocation {
    std::string file;
    int index = 0;
};

// Fontconfig's configuration lives until exit, and is handed back then so that leak checkers
// see a clean exit.
bool StartFontconfig()
{
    static const bool started = [] {
        if (!FcInit())
            return false;
        std::atexit(FcFini);
        return true;
    }();
    return started;
}

bool MatchFace(const std::string& familyUtf8, bool bold, bool italic, FaceLocation& out)
{
    if (!StartFontconfig())
        return false;
    FcPattern* pattern = FcPatternCreate();
    if (!familyUtf8.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;
    FcChar8* file = nullptr;
    int index = 0;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
    if (ok) {
        out.file = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        out.index = index;
    }
    FcPatternDestroy(match);
    return ok;
}

struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    int advance = 0;
    std::vector<std::uint8_t> bits;
};

constexpr int kLargestCell = 2048;

int RoundPixels(FT_Pos v) { return static_cast<int>((v + 32) >> 6); }

}  // namespace

struct FontRasterizer::Impl {
    FontRequest request;
    FT_Face face = nullptr;
    FT_Face fallback = nullptr;
    std::string faceFile;
    bool emboldenFace = false, emboldenFallback = false;
    int ascender = 0;
    int lineHeight = 0;
    std::unordered_map<char32_t, Glyph> glyphs;

    ~Impl()
    {
        if (face)
            FT_Done_Face(face);
        if (fallback)
            FT_Done_Face(fallback);
    }

    static void SetSize(FT_Face f, int height)
    {
        FT_Size_RequestRec req{};
        req.type = height > 0 ? FT_SIZE_REQUEST_TYPE_REAL_DIM : FT_SIZE_REQUEST_TYPE_NOMINAL;
        req.height = static_cast<FT_Long>(height > 0 ? height : (height < 0 ? -height : 16)) * 64;
        if (FT_Request_Size(f, &req) != 0)
            FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(std::abs(height) > 0 ? std::abs(height) : 16));
    }

    // Natural average width in pixels: the advance of "x", as Windows reports the average
    // character width of Latin faces.
    static double NaturalWidth(FT_Face f)
    {
        if (FT_UInt index = FT_Get_Char_Index(f, 'x'); index && FT_Load_Glyph(f, index, FT_LOAD_NO_BITMAP) == 0)
            return f->glyph->advance.x / 64.0;
        if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2)); os2 && os2->xAvgCharWidth > 0)
            return os2->xAvgCharWidth * static_cast<double>(f->size->metrics.x_scale) / 65536.0 / 64.0;
        return f->size->metrics.x_ppem / 2.0;
    }

    void Prepare(FT_Face f, double xScale, bool& embolden)
    {
        FT_Matrix m;
        m.xx = static_cast<FT_Fixed>(std::lround(xScale * 65536.0));
        m.xy = (request.italic && !(f->style_flags & FT_STYLE_FLAG_ITALIC)) ? 0x3800 : 0;
        m.yx = 0;
        m.yy = 0x10000;
        FT_Set_Transform(f, &m, nullptr);
        embolden = request.weight >= 600 && !(f->style_flags & FT_STYLE_FLAG_BOLD);
    }

    void Setup()
    {
        SetSize(face, request.height);
        if (fallback)
            SetSize(fallback, request.height);
        double xScale = 1.0;
        if (request.width > 0) {
            const double natural = NaturalWidth(face);
            if (natural > 0)
                xScale = request.width / natural;
        }
        Prepare(face, xScale, emboldenFace);
        if (fallback)
            Prepare(fallback, xScale, emboldenFallback);
        ascender = RoundPixels(face->size->metrics.ascender);
        lineHeight = std::max(1, ascender - RoundPixels(face->size->metrics.descender));
    }

    const Glyph& GetGlyph(char32_t ch)
    {
        auto it = glyphs.find(ch);
        if (it != glyphs.end())
            return it->second;
        Glyph g;
        FT_Face f = face;
        bool embolden = emboldenFace;
        FT_UInt index = FT_Get_Char_Index(face, ch);
        if (!index && fallback) {
            if (FT_UInt alt = FT_Get_Char_Index(fallback, ch)) {
                f = fallback;
                index = alt;
                embolden = emboldenFallback;
            }
        }
        if (FT_Load_Glyph(f, index, FT_LOAD_NO_BITMAP) == 0) {
            if (embolden)
                FT_GlyphSlot_Embolden(f->glyph);
            g.advance = RoundPixels(f->glyph->advance.x);
            if (FT_Render_Glyph(f->glyph, FT_RENDER_MODE_NORMAL) == 0) {
                const FT_Bitmap& bm = f->glyph->bitmap;
                g.left = f->glyph->bitmap_left;
                g.top = f->glyph->bitmap_top;
                g.width = static_cast<int>(bm.width);
                g.rows = static_cast<int>(bm.rows);
                g.bits.resize(static_cast<std::size_t>(g.width) * g.rows);
                for (int y = 0; y < g.rows; ++y)
                    std::copy_n(bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch, g.width,
                                g.bits.begin() + static_cast<std::ptrdiff_t>(y) * g.width);
            }
        }
        return glyphs.emplace(ch, std::move(g)).first->second;
    }
};

std::unique_ptr<FontRasterizer> FontRasterizer::Create(const FontRequest& request)
{
    FT_Library lib = Library();
    if (!lib)
        return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->request = request;
    // Sizes come from data files and may be anything; a glyph is rendered whole before it is
    // clipped, so a cell larger than any screen is drawn at the largest size instead.
    impl->request.height = std::clamp(request.height, -kLargestCell, kLargestCell);
    impl->request.width = std::min(request.width, kLargestCell);
    const bool bold = request.weight >= 600;
    const std::string family = IsWindowsCjkFace(request.faceName) ? std::string(kCjkFamily) : GbkToUtf8(request.faceName);
    FaceLocation main, cjk;
    if (!MatchFace(family, bold, request.italic, main) || FT_New_Face(lib, main.file.c_str(), main.index, &impl->face) != 0)
        return nullptr;
    impl->faceFile = main.file;
    if (MatchFace(kCjkFamily, false, false, cjk) && cjk.file != main.file)
        FT_New_Face(lib, cjk.file.c_str(), cjk.index, &impl->fallback);

    impl->Setup();
    return std::unique_ptr<FontRasterizer>(new FontRasterizer(std::move(impl)));
}

FontRasterizer::FontRasterizer(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
FontRasterizer::~FontRasterizer() = default;

int FontRasterizer::LineHeight() const { return m_impl->lineHeight; }
const std::string& FontRasterizer::FaceFile() const { return m_impl->faceFile; }

bool FontRasterizer::HasGlyph(char32_t ch)
{
    return FT_Get_Char_Index(m_impl->face, ch) != 0 || (m_impl->fallback && FT_Get_Char_Index(m_impl->fallback, ch) != 0);
}

int FontRasterizer::Layout(const std::string& gbkText, int count, const RECT& rect, DWORD format, TextMask& out)
{
    out = TextMask();
    Impl& im = *m_impl;
    const std::string bytes = count >= 0 ? gbkText.substr(0, static_cast<std::size_t>(count)) : gbkText;
    const std::u32string text = GbkToUtf32(bytes);

    // Positions are worked out in 64 bits: a rectangle may span the whole int range, and
    // its width or centre must not overflow.
    using Pos = long long;
    struct Line {
        std::vector<const Glyph*> glyphs;
        Pos width = 0;
    };
    std::vector<Line> lines(1);
    for (char32_t ch : text) {
        if (ch == U'\n') {
            lines.emplace_back();
        } else if (ch >= 32) {
            const Glyph& g = im.GetGlyph(ch);
            lines.back().glyphs.push_back(&g);
            lines.back().width += g.advance;
        }
    }
    const int blockHeight = static_cast<int>(lines.size()) * im.lineHeight;
    const Pos left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    Pos y = top;
    if (format & DT_BOTTOM)
        y = bottom - blockHeight;
    else if (format & DT_VCENTER)
        y = top + (bottom - top - blockHeight) / 2;

    struct Placed {
        const Glyph* glyph;
        Pos x, y;  // top left of the bitmap
    };
    std::vector<Placed> placed;
    Pos minX = LLONG_MAX, minY = LLONG_MAX, maxX = LLONG_MIN, maxY = LLONG_MIN;
    for (const Line& line : lines) {
        Pos x = left;
        if (format & DT_RIGHT)
            x = right - line.width;
        else if (format & DT_CENTER)
            x = left + (right - left - line.width) / 2;
        const Pos baseline = y + im.ascender;
        for (const Glyph* glyph : line.glyphs) {
            const Glyph& g = *glyph;
            if (g.width > 0 && g.rows > 0) {
                placed.push_back({&g, x + g.left, baseline - g.top});
                minX = std::min(minX, x + g.left);
                minY = std::min(minY, baseline - g.top);
                maxX = std::max(maxX, x + g.left + g.width);
                maxY = std::max(maxY, baseline - g.top + g.rows);
            }
            x += g.advance;
        }
        y += im.lineHeight;
    }
    if (!(format & DT_NOCLIP)) {
        minX = std::max(minX, left);
        minY = std::max(minY, top);
        maxX = std::min(maxX, right);
        maxY = std::min(maxY, bottom);
    }
    // What lies beyond the int range is off any screen.
    minX = std::max<Pos>(minX, INT_MIN);
    minY = std::max<Pos>(minY, INT_MIN);
    maxX = std::min<Pos>(maxX, INT_MAX);
    maxY = std::min<Pos>(maxY, INT_MAX);
    if (placed.empty() || maxX <= minX || maxY <= minY || maxX - minX > INT_MAX || maxY - minY > INT_MAX)
        return blockHeight;
    out.left = static_cast<int>(minX);
    out.top = static_cast<int>(minY);
    out.width = static_cast<int>(maxX - minX);
    out.height = static_cast<int>(maxY - minY);
    out.coverage.assign(static_cast<std::size_t>(out.width) * out.height, 0);
    for (const Placed& p : placed)
        for (int gy = 0; gy < p.glyph->rows; ++gy) {
            const Pos sy = p.y + gy - minY;
            if (sy < 0 || sy >= out.height)
                continue;
            for (int gx = 0; gx < p.glyph->width; ++gx) {
                const Pos sx = p.x + gx - minX;
                if (sx < 0 || sx >= out.width)
                    continue;
                std::uint8_t& dst = out.coverage[static_cast<std::size_t>(sy) * out.width + sx];
                dst = std::max(dst, p.glyph->bits[static_cast<std::size_t>(gy) * p.glyph->width + gx]);
            }
        }
    return blockHeight;
}

}  // namespace platform
