#include <gtest/gtest.h>

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

// Grey is (blue + green + red) / 3 of the pixel as the display holds it.
TEST_F(GrayBitmapTest, GreyValuesOfThe32And16BitDisplays)
{
    dir.Write("wb.bmp", testutil::BmpWithBits(2, 1, 24, {0xFFFFFF, 0x0000FF}));
    CGrayBitmap wide("wb.bmp");
    ASSERT_NE(wide.GetData(), nullptr);
    EXPECT_EQ(wide.GetData()[0], 255u);
    EXPECT_EQ(wide.GetData()[1], 85u);

    platform::seams::SetDisplayBitsPerPixel(16);
    CGrayBitmap narrow("wb.bmp");
    ASSERT_NE(narrow.GetData(), nullptr);
    EXPECT_EQ(narrow.GetData()[0], 41u);
    EXPECT_EQ(narrow.GetData()[1], 10u);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// A file that is missing, not a bitmap or cut short is reported alike and gives nothing.
TEST_F(GrayBitmapTest, UnreadableFilesReportAndGiveNothing)
{
    const std::string good = testutil::BmpWithBits(4, 4, 24, std::vector<std::uint32_t>(16, 0x808080));
    dir.Write("short.bmp", good.substr(0, good.size() - 10));
    dir.Write("text.bmp", "not a bitmap");
    for (const char* name : {"missing.bmp", "short.bmp", "text.bmp"}) {
        boxes.Clear();
        CGrayBitmap bitmap(name);
        EXPECT_EQ(bitmap.GetData(), nullptr);
        EXPECT_EQ(bitmap.nWidth, 0);
        EXPECT_EQ(bitmap.nHeight, 0);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, std::string("bmp文件不存在:") + name);
    }
}
