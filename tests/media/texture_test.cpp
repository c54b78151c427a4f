#include <gtest/gtest.h>

#include <utility>

#include "foundation/device.h"
#include "media/texture.h"
#include "platform/d3dx9.h"
#include "support/mediafiles.h"
#include "support/testdevice.h"
#include "support/testutil.h"

namespace {

std::string Png(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return testutil::PngFile(1, 1, 4, {r, g, b, 255}); }

class TextureTest : public testutil::ScratchFolderTest {
protected:
    void SetUp() override
    {
        ASSERT_NE(g_pDevice, nullptr);
        dir.Write("a/Pic.png", Png(255, 0, 0));
        dir.Write("b/pic.png", Png(0, 0, 255));
    }

    testutil::GlobalTestDevice device{64, 64};
    CTextureManager manager;
};

}  // namespace

TEST_F(TextureTest, PoolSharesOneElementPerNameWhateverTheCaseOrFolderAndTakeFromMovesTheTexture)
{
    testutil::ScopedCwd inA(dir.Path() + "/a");
    CTexture* first = manager.AddTexture("Pic.png");
    ASSERT_NE(first->GetTexture(), nullptr);
    testutil::ScopedCwd inB(dir.Path() + "/b");
    EXPECT_EQ(manager.AddTexture("PIC.PNG"), first);
    EXPECT_EQ(manager.Textures.Count(), 1);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(first->GetTexture()->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(*static_cast<const D3DCOLOR*>(locked.pBits), 0xFFFF0000u) << "the first folder's image";
    first->GetTexture()->UnlockRect(0);
    EXPECT_TRUE(boxes.Boxes().empty());

    // A texture outside the pool moves its texture to another.
    CTexture source("pic.png"), target;
    ASSERT_TRUE(source.Load());
    IDirect3DTexture9* held = source.GetTexture();
    EXPECT_FALSE(target.TakeFrom(nullptr));
    EXPECT_TRUE(source.TakeFrom(&source));
    EXPECT_EQ(source.GetTexture(), held);
    EXPECT_TRUE(target.TakeFrom(&source));
    EXPECT_EQ((std::pair{target.GetName(), target.GetTexture()}), (std::pair{std::string("pic.png"), held}));
    EXPECT_EQ((std::pair{source.GetName(), source.GetTexture()}), (std::pair<std::string, IDirect3DTexture9*>{}));
    // Loading again releases the texture held before (the leak check sees it otherwise).
    EXPECT_TRUE(target.Load());
}

TEST_F(TextureTest, FailedLoadsArePooledAndReportedOnceAndImagesBeyondTheLargestTextureFail)
{
    CTexture* missing = manager.AddTexture("none.png");
    EXPECT_EQ(missing->GetTexture(), nullptr);
    dir.Write("none.png", Png(1, 2, 3));
    EXPECT_EQ(manager.AddTexture("None.png"), missing);
    EXPECT_EQ(missing->GetTexture(), nullptr) << "never retried";
    EXPECT_EQ(manager.AddTexture(""), nullptr);

    // Without a device nothing loads and nothing is reported.
    IDirect3DDevice9* kept = std::exchange(g_pDevice, nullptr);
    EXPECT_EQ(manager.AddTexture("a\\pic.png")->GetTexture(), nullptr);
    g_pDevice = kept;

    // An image larger than the device's largest texture, 8192 a side as its caps say, fails to
    // load as a missing one does, before its pixels are decoded; one of the largest size loads.
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DCAPS9 caps{};
    d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
    d3d->Release();
    EXPECT_EQ((std::pair{caps.MaxTextureWidth, caps.MaxTextureHeight}), (std::pair<DWORD, DWORD>{8192, 8192}));
    dir.Write("wide.png", testutil::PngFile(8193, 1, 3, std::vector<std::uint8_t>(8193 * 3, 200)));
    dir.Write("tall.dds", testutil::DdsHeader(4, 8196, 0x4, "DXT1", 0) + std::string(2049 * 8, '\0'));
    dir.Write("largest.png", testutil::PngFile(8192, 1, 3, std::vector<std::uint8_t>(8192 * 3, 200)));
    for (const char* name : {"wide.png", "tall.dds"}) EXPECT_FALSE(CTexture(name).Load()) << name;
    EXPECT_TRUE(CTexture("largest.png").Load());

    EXPECT_EQ(boxes.Captioned(), (testutil::Strings{"|cant open tex file :none.png",
                                                 "CTextureManager:|AddTexture do not accept Empty string param",
                                                 "|cant open tex file :wide.png", "|cant open tex file :tall.dds"}));
}
