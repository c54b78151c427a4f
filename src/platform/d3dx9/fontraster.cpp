// FreeType and fontconfig behind the D3DX font. Glyphs are rendered from outlines (never the
// embedded bitmaps) so that the synthetic slant and emboldening apply to every face alike.
#include "platform/d3dx9/fontraster.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
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

// A glyph's advance is known once its outline is loaded; its image is rendered only when the
// glyph is drawn where it can be seen.
struct Glyph {
    int advance = 0;
    bool rendered = false;
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> bits;
};

constexpr int kLargestCell = 2048;

int RoundPixels(FT_Pos v) { return static_cast<int>((v + 32) >> 6); }

// A font file's face, loaded once and shared by every size drawn from it: a loaded face costs
// hundreds of kilobytes, a size object next to nothing.
using SharedFace = std::shared_ptr<FT_FaceRec_>;

SharedFace LoadFace(const FaceLocation& where)
{
    static std::map<std::pair<std::string, int>, std::weak_ptr<FT_FaceRec_>> loaded;
    std::weak_ptr<FT_FaceRec_>& slot = loaded[{where.file, where.index}];
    if (SharedFace face = slot.lock())
        return face;
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), where.file.c_str(), where.index, &face) != 0)
        return nullptr;
    SharedFace shared(face, FT_Done_Face);
    slot = shared;
    return shared;
}

// A shared face as one rasterizer uses it: a size object of its own, and its own transform and
// emboldening, set on the face before each use.
struct FaceUse {
    SharedFace face;  // declared first, so the size is done before the face can go
    FT_Size size = nullptr;
    FT_Matrix transform{0x10000, 0, 0, 0x10000};
    bool embolden = false;

    FaceUse() = default;
    FaceUse(const FaceUse&) = delete;
    FaceUse& operator=(const FaceUse&) = delete;
    ~FaceUse()
    {
        if (size)
            FT_Done_Size(size);
    }

    bool Open(SharedFace shared)
    {
        if (!shared || FT_New_Size(shared.get(), &size) != 0) {
            size = nullptr;
            return false;
        }
        face = std::move(shared);
        return true;
    }

    FT_Face Activate()
    {
        FT_Activate_Size(size);
        FT_Set_Transform(face.get(), &transform, nullptr);
        return face.get();
    }
};

// What makes two requests draw alike.
struct RasterKey {
    std::string file;
    int index = 0;
    int height = 0;
    int width = 0;
    bool bold = false;
    bool italic = false;
    auto operator<=>(const RasterKey&) const = default;
};

}  // namespace

struct FontRasterizer::Impl {
    FontRequest request;
    FaceUse face;
    FaceUse fallback;
    std::string faceFile;
    int ascender = 0;
    int lineHeight = 0;
    // How far from its pen position and baseline any glyph's image may reach, in pixels.
    int reach = 0;
    std::unordered_map<char32_t, Glyph> glyphs;
    std::size_t rendered = 0;

    static void SetSize(FaceUse& use, int height)
    {
        FT_Face f = use.face.get();
        FT_Activate_Size(use.size);
        FT_Set_Transform(f, nullptr, nullptr);
        FT_Size_RequestRec req{};
        req.type = height > 0 ? FT_SIZE_REQUEST_TYPE_REAL_DIM : FT_SIZE_REQUEST_TYPE_NOMINAL;
        req.height = static_cast<FT_Long>(height > 0 ? height : (height < 0 ? -height : 16)) * 64;
        if (FT_Request_Size(f, &req) != 0)
            FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(std::abs(height) > 0 ? std::abs(height) : 16));
    }

    // Natural average width in pixels: the advance of "x", as Windows reports the average
    // character width of Latin faces. The face's own size must be active, untransformed.
    static double NaturalWidth(FT_Face f)
    {
        if (FT_UInt index = FT_Get_Char_Index(f, 'x'); index && FT_Load_Glyph(f, index, FT_LOAD_NO_BITMAP) == 0)
            return f->glyph->advance.x / 64.0;
        if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2)); os2 && os2->xAvgCharWidth > 0)
            return os2->xAvgCharWidth * static_cast<double>(f->size->metrics.x_scale) / 65536.0 / 64.0;
        return f->size->metrics.x_ppem / 2.0;
    }

    void Prepare(FaceUse& use, double xScale)
    {
        const FT_Face f = use.face.get();
        use.transform.xx = static_cast<FT_Fixed>(std::lround(xScale * 65536.0));
        use.transform.xy = (request.italic && !(f->style_flags & FT_STYLE_FLAG_ITALIC)) ? 0x3800 : 0;
        use.transform.yx = 0;
        use.transform.yy = 0x10000;
        use.embolden = request.weight >= 600 && !(f->style_flags & FT_STYLE_FLAG_BOLD);
        // The face's box bounds every outline; the slant, emboldening and hinting add less than
        // a line.
        const FT_Size_Metrics& m = use.size->metrics;
        const FT_BBox& box = f->bbox;
        const FT_Pos y = std::max(std::abs(FT_MulFix(box.yMax, m.y_scale)), std::abs(FT_MulFix(box.yMin, m.y_scale)));
        const FT_Pos x = std::max(std::abs(FT_MulFix(box.xMax, m.x_scale)), std::abs(FT_MulFix(box.xMin, m.x_scale)));
        const double farthest = std::max(y / 64.0, x / 64.0 * xScale);
        reach = std::max(reach, static_cast<int>(std::ceil(farthest)) + lineHeight + 2);
    }

    void Setup()
    {
        SetSize(face, request.height);
        if (fallback.face)
            SetSize(fallback, request.height);
        FT_Activate_Size(face.size);
        double xScale = 1.0;
        if (request.width > 0) {
            const double natural = NaturalWidth(face.face.get());
            if (natural > 0)
                xScale = request.width / natural;
        }
        const FT_Size_Metrics& m = face.size->metrics;
        ascender = RoundPixels(m.ascender);
        lineHeight = std::max(1, ascender - RoundPixels(m.descender));
        Prepare(face, xScale);
        if (fallback.face)
            Prepare(fallback, xScale);
    }

    // Loads the glyph's outline into the slot of the face that has it (this face, else the
    // fallback), emboldened as the request asks; null when it cannot be loaded.
    FT_GlyphSlot LoadSlot(char32_t ch)
    {
        FaceUse* use = &face;
        FT_UInt index = FT_Get_Char_Index(face.face.get(), ch);
        if (!index && fallback.face) {
            if (FT_UInt alt = FT_Get_Char_Index(fallback.face.get(), ch)) {
                use = &fallback;
                index = alt;
            }
        }
        const FT_Face f = use->Activate();
        if (FT_Load_Glyph(f, index, FT_LOAD_NO_BITMAP) != 0)
            return nullptr;
        if (use->embolden)
            FT_GlyphSlot_Embolden(f->glyph);
        return f->glyph;
    }

    Glyph& GetGlyph(char32_t ch)
    {
        auto it = glyphs.find(ch);
        if (it != glyphs.end())
            return it->second;
        Glyph g;
        if (FT_GlyphSlot slot = LoadSlot(ch))
            g.advance = RoundPixels(slot->advance.x);
        return glyphs.emplace(ch, std::move(g)).first->second;
    }

    const Glyph& Rendered(char32_t ch)
    {
        Glyph& g = GetGlyph(ch);
        if (g.rendered)
            return g;
        g.rendered = true;
        ++rendered;
        FT_GlyphSlot slot = LoadSlot(ch);
        if (!slot || FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
            return g;
        const FT_Bitmap& bm = slot->bitmap;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = static_cast<int>(bm.width);
        g.rows = static_cast<int>(bm.rows);
        g.bits.resize(static_cast<std::size_t>(g.width) * g.rows);
        for (int y = 0; y < g.rows; ++y)
            std::copy_n(bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch, g.width,
                        g.bits.begin() + static_cast<std::ptrdiff_t>(y) * g.width);
        return g;
    }
};

std::unique_ptr<FontRasterizer> FontRasterizer::Create(const FontRequest& request)
{
    if (!Library())
        return nullptr;
    FontRequest clamped = request;
    // Sizes come from data files and may be anything; a glyph is rendered whole before it is
    // clipped, so a cell larger than any screen is drawn at the largest size instead.
    clamped.height = std::clamp(request.height, -kLargestCell, kLargestCell);
    clamped.width = std::clamp(request.width, 0, kLargestCell);
    const bool bold = request.weight >= 600;
    const std::string family = IsWindowsCjkFace(request.faceName) ? std::string(kCjkFamily) : GbkToUtf8(request.faceName);
    FaceLocation main, cjk;
    if (!MatchFace(family, bold, request.italic, main))
        return nullptr;

    static std::map<RasterKey, std::weak_ptr<Impl>> alike;
    std::weak_ptr<Impl>& slot = alike[{main.file, main.index, clamped.height, clamped.width, bold, request.italic}];
    if (std::shared_ptr<Impl> shared = slot.lock())
        return std::unique_ptr<FontRasterizer>(new FontRasterizer(std::move(shared)));

    auto impl = std::make_shared<Impl>();
    impl->request = clamped;
    if (!impl->face.Open(LoadFace(main)))
        return nullptr;
    impl->faceFile = main.file;
    if (MatchFace(kCjkFamily, false, false, cjk) && cjk.file != main.file)
        impl->fallback.Open(LoadFace(cjk));
    impl->Setup();
    slot = impl;
    return std::unique_ptr<FontRasterizer>(new FontRasterizer(std::move(impl)));
}

FontRasterizer::FontRasterizer(std::shared_ptr<Impl> impl) : m_impl(std::move(impl)) {}
FontRasterizer::~FontRasterizer() = default;

int FontRasterizer::LineHeight() const { return m_impl->lineHeight; }
const std::string& FontRasterizer::FaceFile() const { return m_impl->faceFile; }
std::size_t FontRasterizer::GlyphsRendered() const { return m_impl->rendered; }

bool FontRasterizer::HasGlyph(char32_t ch)
{
    return FT_Get_Char_Index(m_impl->face.face.get(), ch) != 0 ||
           (m_impl->fallback.face && FT_Get_Char_Index(m_impl->fallback.face.get(), ch) != 0);
}

namespace {

using Pos = long long;  // positions in 64 bits: a rectangle may span the whole int range

Pos FloorDiv(Pos a, Pos b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

struct Placed {
    const Glyph* glyph;
    Pos x, y;  // top left of the image
};

}  // namespace

int FontRasterizer::Layout(std::string_view gbkText, int count, const RECT& rect, DWORD format, TextMask& out,
                           const RECT* bounds)
{
    out = TextMask();
    Impl& im = *m_impl;
    const std::string_view bytes = count >= 0 ? gbkText.substr(0, static_cast<std::size_t>(count)) : gbkText;

    // A "\n" byte is never part of a GBK character, so lines are found before any conversion.
    const Pos lineCount = 1 + std::count(bytes.begin(), bytes.end(), '\n');
    const Pos lh = im.lineHeight;
    const Pos blockHeight = lineCount * lh;
    const int result = static_cast<int>(std::min<Pos>(blockHeight, INT_MAX));
    const Pos left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    Pos y = top;
    if (format & DT_BOTTOM)
        y = bottom - blockHeight;
    else if (format & DT_VCENTER)
        y = top + (bottom - top - blockHeight) / 2;

    // What can be seen: the rectangle (unless DT_NOCLIP), the bounds, and the int range.
    Pos clipL = INT_MIN, clipT = INT_MIN, clipR = INT_MAX, clipB = INT_MAX;
    if (!(format & DT_NOCLIP)) {
        clipL = std::max(clipL, left);
        clipT = std::max(clipT, top);
        clipR = std::min(clipR, right);
        clipB = std::min(clipB, bottom);
    }
    if (bounds) {
        clipL = std::max<Pos>(clipL, bounds->left);
        clipT = std::max<Pos>(clipT, bounds->top);
        clipR = std::min<Pos>(clipR, bounds->right);
        clipB = std::min<Pos>(clipB, bounds->bottom);
    }
    if (clipR <= clipL || clipB <= clipT || bytes.empty())
        return result;

    // The lines whose glyphs may reach the clip; the others are only counted.
    const Pos firstBaseline = y + im.ascender;
    const Pos first = std::max<Pos>(0, FloorDiv(clipT - im.reach - firstBaseline, lh));
    const Pos last = std::min<Pos>(lineCount - 1, FloorDiv(clipB + im.reach - firstBaseline, lh) + 1);
    if (first > last)
        return result;
    std::size_t begin = 0;
    for (Pos skipped = 0; skipped < first; ++skipped)
        begin = bytes.find('\n', begin) + 1;

    std::vector<Placed> placed;
    Pos minX = LLONG_MAX, minY = LLONG_MAX, maxX = LLONG_MIN, maxY = LLONG_MIN;
    for (Pos line = first; line <= last; ++line) {
        std::size_t end = bytes.find('\n', begin);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::u32string text = GbkToUtf32(std::string(bytes.substr(begin, end - begin)));
        begin = end + 1;

        Pos x = left;
        if (format & (DT_RIGHT | DT_CENTER)) {
            Pos width = 0;
            for (char32_t ch : text)
                if (ch >= 32)
                    width += im.GetGlyph(ch).advance;
            x = (format & DT_RIGHT) ? right - width : left + (right - left - width) / 2;
        }
        const Pos baseline = firstBaseline + line * lh;
        for (char32_t ch : text) {
            if (ch < 32)
                continue;
            if (x - im.reach >= clipR)
                break;  // advances never go back: nothing further on the line can be seen
            const int advance = im.GetGlyph(ch).advance;
            if (x + advance + im.reach > clipL) {
                const Glyph& g = im.Rendered(ch);
                const Pos gx = x + g.left, gy = baseline - g.top;
                const bool seen = gx < clipR && gx + g.width > clipL && gy < clipB && gy + g.rows > clipT;
                if (g.width > 0 && g.rows > 0 && seen) {
                    placed.push_back({&g, gx, gy});
                    minX = std::min(minX, gx);
                    minY = std::min(minY, gy);
                    maxX = std::max(maxX, gx + g.width);
                    maxY = std::max(maxY, gy + g.rows);
                }
            }
            x += advance;
        }
    }
    minX = std::max(minX, clipL);
    minY = std::max(minY, clipT);
    maxX = std::min(maxX, clipR);
    maxY = std::min(maxY, clipB);
    if (placed.empty() || maxX <= minX || maxY <= minY || maxX - minX > INT_MAX || maxY - minY > INT_MAX)
        return result;
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
    return result;
}

}  // namespace platform
