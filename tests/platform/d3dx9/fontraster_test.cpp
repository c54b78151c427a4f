#include <gtest/gtest.h>

#include <numeric>

#include "platform/d3dx9/fontraster.h"
#include "platform/textformat.h"

namespace {

using platform::FontRasterizer;
using platform::FontRequest;
using platform::TextMask;

std::unique_ptr<FontRasterizer> Make(const char* face, int height, int width = 0, int weight = 400, bool italic = false)
{
    FontRequest request;
    request.faceName = face;
    request.height = height;
    request.width = width;
    request.weight = weight;
    request.italic = italic;
    return FontRasterizer::Create(request);
}

long Ink(const TextMask& m) { return std::accumulate(m.coverage.begin(), m.coverage.end(), 0L); }

}  // namespace

TEST(FontRaster, FaceNamesMapToInstalledFacesWithAChineseFallback)
{
    auto latin = Make("Arial", 20);
    ASSERT_TRUE(latin);
    EXPECT_EQ(latin->FaceFile().find("wqy"), std::string::npos);
    EXPECT_TRUE(latin->HasGlyph(U'中')) << "Chinese characters come from the fallback face";

    for (const char* name : {"宋体", "SimSun", "黑体", "simhei"}) {
        auto cjk = Make(name, 20);
        ASSERT_TRUE(cjk) << name;
        EXPECT_NE(cjk->FaceFile().find("wqy-zenhei"), std::string::npos) << name;
    }

    // Chinese text in GBK draws ink.
    TextMask mask;
    latin->Layout("中文", -1, RECT{0, 0, 200, 100}, DT_LEFT | DT_TOP, mask);
    EXPECT_GT(Ink(mask), 1000);
    EXPECT_GT(mask.width, 25);
}

TEST(FontRaster, AlignmentLinesAndClipping)
{
    auto font = Make("DejaVu Sans", 24);
    ASSERT_TRUE(font);
    const int line = font->LineHeight();
    EXPECT_NEAR(line, 24, 2);

    // Left, centre, right (and top, middle, bottom) put that edge or the middle of the ink on the
    // rectangle's (half 0, 1, 2 of its width and height); the ink is the same wherever it goes.
    const RECT rect{100, 50, 300, 150};
    TextMask left;
    font->Layout("HHHH", -1, rect, DT_LEFT | DT_TOP, left);
    for (const auto& [format, halves] :
         {std::pair<DWORD, int>{DT_LEFT | DT_TOP, 0}, {DT_CENTER | DT_VCENTER, 1}, {DT_RIGHT | DT_BOTTOM, 2}}) {
        TextMask m;
        EXPECT_EQ(font->Layout("HHHH", -1, rect, format, m), line) << format;
        EXPECT_NEAR(m.left + m.width * halves / 2, 100 + 100 * halves, 3) << format;
        EXPECT_NEAR(m.top + m.height * halves / 2, 50 + 50 * halves, line / 2) << format;
        EXPECT_EQ(Ink(m), Ink(left)) << format;
    }

    // "\n" breaks lines: two lines stack, each centred on its own.
    TextMask two;
    EXPECT_EQ(font->Layout("HH\nHHHHHH", -1, rect, DT_CENTER | DT_TOP, two), 2 * line);
    EXPECT_GT(two.height, line);
    EXPECT_NEAR(two.left + two.width / 2, 200, 3);

    // A count limits the text; DT_NOCLIP lets it run past the rectangle (the clipping itself is
    // checked below).
    TextMask part, unclipped;
    font->Layout("HHHH", 2, rect, DT_LEFT, part);
    EXPECT_NEAR(Ink(part) * 2, Ink(left), Ink(left) / 20);
    font->Layout("HHHHHHHH", -1, RECT{10, 10, 40, 20}, DT_LEFT | DT_TOP | DT_NOCLIP, unclipped);
    EXPECT_GT(unclipped.width, 100);

    TextMask none;
    font->Layout("", -1, rect, DT_LEFT, none);
    EXPECT_TRUE(none.coverage.empty());
    font->Layout("HH", -1, RECT{0, 0, 0, 0}, DT_LEFT, none);
    EXPECT_TRUE(none.coverage.empty());
}

TEST(FontRaster, WidthWeightAndItalicChangeTheGlyphs)
{
    const RECT rect{0, 0, 1000, 100};
    TextMask natural, narrow, wide, bold, slanted, upright;
    Make("DejaVu Sans", 25)->Layout("xxxxxxxxxx", -1, rect, DT_LEFT, natural);
    Make("DejaVu Sans", 25, 10)->Layout("xxxxxxxxxx", -1, rect, DT_LEFT, narrow);
    Make("DejaVu Sans", 25, 20)->Layout("xxxxxxxxxx", -1, rect, DT_LEFT, wide);
    EXPECT_NEAR(narrow.width, 100, 6) << "ten characters of average width 10";
    EXPECT_NEAR(wide.width, 200, 8);
    EXPECT_NE(natural.width, narrow.width);

    Make("DejaVu Sans", 25, 10, 700)->Layout("xxxxxxxxxx", -1, rect, DT_LEFT, bold);
    EXPECT_GT(Ink(bold), Ink(narrow) * 6 / 5);
    Make("DejaVu Sans", 25, 10, 300, true)->Layout("llllllllll", -1, rect, DT_LEFT, slanted);
    Make("DejaVu Sans", 25, 10, 300, false)->Layout("llllllllll", -1, rect, DT_LEFT, upright);
    EXPECT_GT(slanted.width, upright.width) << "the slant widens a run of tall letters";
}

namespace {

// The coverage of `m` at a screen pixel; 0 outside it.
int CoverageAt(const TextMask& m, int x, int y)
{
    if (x < m.left || y < m.top || x >= m.left + m.width || y >= m.top + m.height)
        return 0;
    return m.coverage[static_cast<std::size_t>(y - m.top) * m.width + (x - m.left)];
}

// Distinct Chinese characters in GBK, `perLine` a line.
std::string ChineseLines(int lines, int perLine)
{
    std::string text;
    int n = 0;
    for (int l = 0; l < lines; ++l) {
        for (int c = 0; c < perLine; ++c, ++n) {
            text += static_cast<char>(0xB0 + n / 94);
            text += static_cast<char>(0xA1 + n % 94);
        }
        text += '\n';
    }
    return text;
}

}  // namespace

TEST(FontRaster, ClippedTextIsTheUnclippedTextCutAndOnlyWhatShowsIsRendered)
{
    // Lines above and below the rectangle, and a line running far beyond both sides: what is
    // drawn inside is what the unclipped text draws there, in every alignment.
    auto font = Make("DejaVu Sans", 18, 0, 400, true);
    ASSERT_TRUE(font);
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "line " + std::to_string(i) + (i == 20 ? std::string(400, 'W') : "") + " jQ\xd6\xd0\n";
    const RECT rect{30, 40, 170, 90};
    for (DWORD h : {DT_LEFT, DT_CENTER, DT_RIGHT})
        for (DWORD v : {DT_TOP, DT_VCENTER, DT_BOTTOM}) {
            TextMask clipped, whole;
            const int height = font->Layout(text, -1, rect, h | v, clipped);
            EXPECT_EQ(font->Layout(text, -1, rect, h | v | DT_NOCLIP, whole), height);
            EXPECT_EQ(height, 41 * font->LineHeight());
            long ink = 0;
            for (int y = rect.top - 5; y < rect.bottom + 5; ++y)
                for (int x = rect.left - 5; x < rect.right + 5; ++x) {
                    const bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
                    ASSERT_EQ(CoverageAt(clipped, x, y), inside ? CoverageAt(whole, x, y) : 0)
                        << h << v << " " << x << "," << y;
                    ink += CoverageAt(clipped, x, y);
                }
            EXPECT_GT(ink, 0) << h << " " << v;
        }

    // 8,000 different characters on 160 lines, of which two show: only their glyphs are made.
    auto cjk = Make("宋体", 20);
    ASSERT_TRUE(cjk);
    TextMask two;
    cjk->Layout(ChineseLines(160, 50), -1, RECT{0, 0, 640, 2 * cjk->LineHeight()}, DT_LEFT | DT_TOP, two);
    EXPECT_GT(two.height, cjk->LineHeight());
    EXPECT_LE(cjk->GlyphsRendered(), 300u) << "a few lines near the two, not 8,000";
    // One centred line of 3,000 different characters seen through a narrow gap: every advance
    // counts towards the centre, but only the glyphs in the gap are made.
    auto narrow = Make("黑体", 20);
    const std::size_t before = narrow->GlyphsRendered();
    TextMask gap;
    narrow->Layout(ChineseLines(1, 3000), -1, RECT{300, 0, 340, 40}, DT_CENTER | DT_VCENTER, gap);
    EXPECT_GT(gap.width, 0);
    EXPECT_LE(narrow->GlyphsRendered() - before, 20u);
}

TEST(FontRaster, FontsThatDrawAlikeShareTheirGlyphsAndOutliveEachOther)
{
    auto first = Make("Arial", 21, 0, 400);
    auto second = Make("arial", 21, 0, 300);  // another weight below bold draws alike
    auto taller = Make("Arial", 22, 0, 400);
    ASSERT_TRUE(first && second && taller);
    TextMask a, b;
    first->Layout("shared glyphs", -1, RECT{0, 0, 300, 40}, DT_LEFT, a);
    EXPECT_GT(second->GlyphsRendered(), 0u) << "the glyphs the first made serve the second";
    EXPECT_EQ(taller->GlyphsRendered(), 0u) << "each size has glyphs of its own";
    first.reset();
    second->Layout("shared glyphs", -1, RECT{0, 0, 300, 40}, DT_LEFT, b);
    EXPECT_EQ(b.coverage, a.coverage);
}
