#include <gtest/gtest.h>

#include <utility>

#include "foundation/device.h"
#include "media/font.h"
#include "support/testdevice.h"
#include "support/testutil.h"

namespace {

class FontManagerTest : public testutil::ScratchFolderTest {
protected:
    testutil::GlobalTestDevice device{64, 64};
    FontManager manager;

    void SetUp() override { ASSERT_NE(g_pDevice, nullptr); }

    // The font made for an entry, as "height width weight italic face".
    std::string Desc(const char* name)
    {
        D3DXFONT_DESCA d{};
        FontEntry* entry = manager.FindFont(name);
        if (entry && entry->pFont) entry->pFont->GetDescA(&d);
        return std::to_string(d.Height) + " " + std::to_string(d.Width) + " " + std::to_string(d.Weight) +
               (d.Italic ? " italic " : " upright ") + d.FaceName;
    }

    // Draws with the manager's current font and tells whether anything was lit, and where.
    bool DrawsInk(const std::string& text, int horizontal, int vertical, RECT* lit = nullptr)
    {
        testutil::DrawFrame([&] { manager.DrawTextAligned(text, {0, 0, 64, 64}, 0xFFFFFFFF, horizontal, vertical); });
        const RECT r = testutil::LitRect(0, 0, 64, 64);
        if (lit) *lit = r;
        return r.right >= 0;
    }
};

}  // namespace

TEST_F(FontManagerTest, FontFileSectionsKeysAndDefaultsAndAlignedText)
{
    dir.Write("GlobalFonts.txt",
              "[Plain]\r\nfontname=Arial\r\n"
              "[Upright]\r\nfontname=Arial\r\nheight=16\r\nwidth=0\r\nweight=700\r\nitalic=0\r\n"
              "[Wordy]\r\nfontname=宋体\r\nitalic=no\r\nheight=\r\n"
              "[NoFace]\r\nheight=30\r\n"
              "[Long]\r\nfontname=ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn\r\n");
    manager.LoadFonts("GlobalFonts.txt");
    ASSERT_EQ(manager.Fonts.Count(), 4);
    // An absent italic key gives italic, an empty value the default; a face name is cut to the field.
    EXPECT_EQ(Desc("plain"), "25 10 300 italic Arial");
    EXPECT_EQ(Desc("UPRIGHT"), "16 0 700 upright Arial");
    EXPECT_EQ(Desc("wordy"), "25 10 300 italic 宋体");
    EXPECT_EQ(Desc("long"), "25 10 300 italic ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");

    // The first entry becomes current; a null entry changes nothing, an unknown name clears it.
    EXPECT_EQ(manager.pCurrent, manager.Fonts.Get(0));
    manager.SetCurrent(nullptr);
    EXPECT_EQ(manager.pCurrent, manager.Fonts.Get(0));
    manager.SetCurrent("missing");
    EXPECT_EQ(manager.pCurrent, nullptr);

    manager.SetCurrent("upright");
    RECT centred, low, corner;
    ASSERT_TRUE(DrawsInk("II", 1, 1, &centred));
    EXPECT_NEAR((centred.left + centred.right) / 2.0, 32.0, 2.0);
    EXPECT_NEAR((centred.top + centred.bottom) / 2.0, 32.0, 4.0);
    // A text of the same length in the same place is laid out anew, not taken from the last one.
    ASSERT_TRUE(DrawsInk("__", 1, 1, &low));
    EXPECT_GT(low.top, centred.top + 4);
    ASSERT_TRUE(DrawsInk("II", 3, 3, &corner)) << "unknown alignments add nothing: left, top";
    EXPECT_LT(corner.left, 4);
    EXPECT_LT(corner.top, 16);
    ASSERT_TRUE(DrawsInk("II", 2, 2, &corner));
    EXPECT_GT(corner.right, 60);
    EXPECT_GT(corner.bottom, 48);

    CStringList lines;
    lines.Items = {"I", "I"};
    testutil::DrawFrame([&] { manager.DrawLines(lines, 0, 0, 0xFFFFFFFF); });
    const RECT both = testutil::LitRect(0, 0, 64, 64);
    EXPECT_GT(both.bottom - both.top, 16) << "two lines, one under the other";

    // No current font, or an entry whose creation failed: nothing drawn, nothing reported.
    manager.pCurrent = nullptr;
    EXPECT_FALSE(DrawsInk("II", 1, 1));
    FontEntry* noDevice = manager.Fonts.AddNew();
    IDirect3DDevice9* kept = std::exchange(g_pDevice, nullptr);
    noDevice->Create("Arial", "nodevice", 0, 16, 400, false);
    g_pDevice = kept;
    manager.SetCurrent(noDevice);
    EXPECT_FALSE(DrawsInk("II", 1, 1));
    EXPECT_EQ(boxes.Captioned(), testutil::Strings{":|NoFace:字体文件无法读取"});
}
