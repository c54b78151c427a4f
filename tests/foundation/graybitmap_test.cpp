#include <gtest/gtest.h>

#include <utility>

#include "foundation/graybitmap.h"
#include "platform/seams.h"
#include "support/mediafiles.h"
#include "support/testutil.h"

namespace {

class GrayBitmapTest : public testutil::ScratchFolderTest {
protected:
    void TearDown() override { platform::seams::SetDisplayBitsPerPixel(32); }
};

}  // namespace

// Grey is (blue + green + red) / 3 of the pixel as the display holds it, read at the crossings
// asked for.
TEST_F(GrayBitmapTest, GreyValuesOfThe32And16BitDisplaysAndUnreadableFilesGiveNothing)
{
    dir.Write("wb.bmp", testutil::BmpWithBits(2, 2, 24, {0xFFFFFF, 0x0000FF, 0x102030, 0x000000}));
    CGrayBitmap wide("wb.bmp");
    platform::seams::SetDisplayBitsPerPixel(16);
    CGrayBitmap narrow("wb.bmp");
    EXPECT_EQ((std::pair{wide.nWidth, wide.nHeight}), (std::pair{2, 2}));
    EXPECT_EQ(wide.GetGreys({0, 1}, {0, 1}), (std::vector<std::uint32_t>{255, 85, 32, 0}));
    EXPECT_EQ(narrow.GetGreys({0, 1}, {0}), (std::vector<std::uint32_t>{41, 10}));
    EXPECT_EQ(wide.GetGreys({1}, {1}), (std::vector<std::uint32_t>{0}));
    // Indices that are outside or out of order read nothing.
    for (const auto& [columns, rows] : {std::pair<std::vector<int>, std::vector<int>>{{2}, {0}},
                                        {{0}, {-1}}, {{1, 0}, {0}}, {{0, 0}, {0}}})
        EXPECT_TRUE(wide.GetGreys(columns, rows).empty());

    // A file that is missing, not a bitmap or cut short is reported alike and gives nothing, also
    // to a bitmap that held one.
    wide.Load("missing.bmp");
    EXPECT_FALSE(wide.IsLoaded());
    EXPECT_EQ((std::pair{wide.nWidth, wide.nHeight}), (std::pair{0, 0}));
    const std::string good = testutil::BmpWithBits(4, 4, 24, std::vector<std::uint32_t>(16, 0x808080));
    dir.Write("short.bmp", good.substr(0, good.size() - 10));
    dir.Write("text.bmp", "not a bitmap");
    for (const char* name : {"missing.bmp", "short.bmp", "text.bmp"}) {
        CGrayBitmap bitmap(name);
        EXPECT_FALSE(bitmap.IsLoaded()) << name;
        EXPECT_TRUE(bitmap.GetGreys({0}, {0}).empty()) << name;
        EXPECT_EQ((std::pair{bitmap.nWidth, bitmap.nHeight}), (std::pair{0, 0})) << name;
    }
    EXPECT_EQ(boxes.Texts(),
              (testutil::Strings{"bmp文件不存在:missing.bmp", "bmp文件不存在:missing.bmp",
                                 "bmp文件不存在:short.bmp", "bmp文件不存在:text.bmp"}));
}
