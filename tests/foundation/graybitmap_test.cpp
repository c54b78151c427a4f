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

// Grey is (blue + green + red) / 3 of the pixel as the display holds it.
TEST_F(GrayBitmapTest, GreyValuesOfThe32And16BitDisplaysAndUnreadableFilesGiveNothing)
{
    dir.Write("wb.bmp", testutil::BmpWithBits(2, 1, 24, {0xFFFFFF, 0x0000FF}));
    CGrayBitmap wide("wb.bmp");
    platform::seams::SetDisplayBitsPerPixel(16);
    CGrayBitmap narrow("wb.bmp");
    ASSERT_NE(wide.GetData(), nullptr);
    ASSERT_NE(narrow.GetData(), nullptr);
    EXPECT_EQ((std::vector{wide.GetData()[0], wide.GetData()[1], narrow.GetData()[0], narrow.GetData()[1]}),
              (std::vector<std::uint32_t>{255, 85, 41, 10}));

    // A file that is missing, not a bitmap or cut short is reported alike and gives nothing.
    const std::string good = testutil::BmpWithBits(4, 4, 24, std::vector<std::uint32_t>(16, 0x808080));
    dir.Write("short.bmp", good.substr(0, good.size() - 10));
    dir.Write("text.bmp", "not a bitmap");
    for (const char* name : {"missing.bmp", "short.bmp", "text.bmp"}) {
        CGrayBitmap bitmap(name);
        EXPECT_EQ(bitmap.GetData(), nullptr) << name;
        EXPECT_EQ((std::pair{bitmap.nWidth, bitmap.nHeight}), (std::pair{0, 0})) << name;
    }
    EXPECT_EQ(boxes.Texts(),
              (testutil::Strings{"bmp文件不存在:missing.bmp", "bmp文件不存在:short.bmp", "bmp文件不存在:text.bmp"}));
}
