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

    const RECT rect{100, 50, 300, 150};
    TextMask centred, left, right, bottom;
    EXPECT_EQ(font->Layout("HHHH", -1, rect, DT_CENTER | DT_VCENTER, centred), line);
    const int cx = centred.left + centred.width / 2, cy = centred.top + centred.height / 2;
    EXPECT_NEAR(cx, 200, 3);
    EXPECT_NEAR(cy, 100, line / 2);
    font->Layout("HHHH", -1, rect, DT_LEFT | DT_TOP, left);
    EXPECT_NEAR(left.left, 100, 3);
    EXPECT_NEAR(left.top, 50, line / 2);
    font->Layout("HHHH", -1, rect, DT_RIGHT | DT_BOTTOM, right);
    EXPECT_NEAR(right.left + right.width, 300, 3);
    EXPECT_NEAR(right.top + right.height, 150, line / 2);
    EXPECT_EQ(Ink(left), Ink(centred));

    // "\n" breaks lines: two lines stack, each centred on its own.
    TextMask two;
    EXPECT_EQ(font->Layout("HH\nHHHHHH", -1, rect, DT_CENTER | DT_TOP, two), 2 * line);
    EXPECT_GT(two.height, line);
    EXPECT_NEAR(two.left + two.width / 2, 200, 3);

    // A count limits the text; drawing is clipped to the rectangle unless asked otherwise.
    TextMask part, clipped, unclipped;
    font->Layout("HHHH", 2, rect, DT_LEFT, part);
    EXPECT_NEAR(Ink(part) * 2, Ink(left), Ink(left) / 20);
    const RECT small{10, 10, 40, 20};
    font->Layout("HHHHHHHH", -1, small, DT_LEFT | DT_TOP, clipped);
    EXPECT_GE(clipped.left, 10);
    EXPECT_LE(clipped.left + clipped.width, 40);
    EXPECT_LE(clipped.top + clipped.height, 20);
    font->Layout("HHHHHHHH", -1, small, DT_LEFT | DT_TOP | DT_NOCLIP, unclipped);
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
    TextMask natural, narrow, wide, bold, slanted;
    Make("DejaVu Sans", 25)->Layout("xxxxxxxxxx", -1, rect, DT_LEFT, natural);
    Make("DejaVu Sans", 25, 10)->Layout("xxxxxxxxxx", -1, rect, DT_LEFT, narrow);
    Make("DejaVu Sans", 25, 20)->Layout("xxxxxxxxxx", -1, rect, DT_LEFT, wide);
    EXPECT_NEAR(narrow.width, 100, 6) << "ten characters of average width 10";
    EXPECT_NEAR(wide.width, 200, 8);
    EXPECT_NE(natural.width, narrow.width);

    Make("DejaVu Sans", 25, 10, 700)->Layout("xxxxxxxxxx", -1, rect, DT_LEFT, bold);
    EXPECT_GT(Ink(bold), Ink(narrow) * 6 / 5);
    Make("DejaVu Sans", 25, 10, 300, true)->Layout("llllllllll", -1, rect, DT_LEFT, slanted);
    TextMask upright;
    Make("DejaVu Sans", 25, 10, 300, false)->Layout("llllllllll", -1, rect, DT_LEFT, upright);
    EXPECT_GT(slanted.width, upright.width) << "the slant widens a run of tall letters";
}
