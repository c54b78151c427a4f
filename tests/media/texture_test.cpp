#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "foundation/device.h"
#include "media/texture.h"
#include "platform/d3dx9.h"
#include "support/mediafiles.h"
#include "support/testdevice.h"
#include "support/testutil.h"

namespace {

std::string Png(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return testutil::PngFile(1, 1, 4, {r, g, b, 255}); }

// The top-left texel of a texture as packed ARGB.
D3DCOLOR FirstTexel(IDirect3DTexture9* texture)
{
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0)))
        return 0;
    DWORD v;
    std::memcpy(&v, locked.pBits, 4);
    texture->UnlockRect(0);
    return v;
}

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(g_pDevice, nullptr);
        dir.Write("a/Pic.png", Png(255, 0, 0));
        dir.Write("b/pic.png", Png(0, 0, 255));
    }

    testutil::GlobalTestDevice device{64, 64};
    testutil::TempDir dir;
    testutil::BoxCapture boxes;
    CTextureManager manager;
};

}  // namespace

TEST_F(TextureTest, PoolSharesOneElementPerNameWhateverTheCaseOrFolder)
{
    CTexture* first = nullptr;
    {
        testutil::ScopedCwd cwd(dir.Path() + "/a");
        first = manager.AddTexture("Pic.png");
    }
    ASSERT_NE(first->GetTexture(), nullptr);
    {
        testutil::ScopedCwd cwd(dir.Path() + "/b");
        EXPECT_EQ(manager.AddTexture("PIC.PNG"), first);
    }
    EXPECT_EQ(manager.Textures.Count(), 1);
    EXPECT_EQ(FirstTexel(first->GetTexture()), 0xFFFF0000u) << "the first folder's image";
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(TextureTest, FailedLoadsArePooledAndReportedOnce)
{
    testutil::ScopedCwd cwd(dir.Path());
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

    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "");
    EXPECT_EQ(boxes.Boxes()[0].text, "cant open tex file :none.png");
    EXPECT_EQ(boxes.Boxes()[1].caption, "CTextureManager:");
    EXPECT_EQ(boxes.Boxes()[1].text, "AddTexture do not accept Empty string param");
}

TEST_F(TextureTest, TakeFromMovesTheTexture)
{
    testutil::ScopedCwd cwd(dir.Path() + "/a");
    CTexture source("pic.png"), target;
    ASSERT_TRUE(source.Load());
    IDirect3DTexture9* held = source.GetTexture();
    EXPECT_FALSE(target.TakeFrom(nullptr));
    EXPECT_TRUE(source.TakeFrom(&source));
    EXPECT_EQ(source.GetTexture(), held);

    EXPECT_TRUE(target.TakeFrom(&source));
    EXPECT_EQ(target.GetTexture(), held);
    EXPECT_EQ(target.GetName(), "pic.png");
    EXPECT_EQ(source.GetTexture(), nullptr);
    EXPECT_EQ(source.GetName(), "");
    // Loading again releases the texture held before (the leak check sees it otherwise).
    EXPECT_TRUE(target.Load());
}

// An image larger than the device's largest texture, 8192 a side as its caps say, fails to load
// as a missing one does, before its pixels are decoded; one of the largest size loads.
TEST_F(TextureTest, ImagesBeyondTheLargestTextureFailToLoad)
{
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DCAPS9 caps{};
    d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
    d3d->Release();
    EXPECT_EQ(caps.MaxTextureWidth, 8192u);
    EXPECT_EQ(caps.MaxTextureHeight, 8192u);

    testutil::ScopedCwd cwd(dir.Path());
    dir.Write("wide.png", testutil::PngFile(8193, 1, 3, std::vector<std::uint8_t>(8193 * 3, 200)));
    dir.Write("tall.dds", testutil::DdsHeader(4, 8196, 0x4, "DXT1", 0) + std::string(2049 * 8, '\0'));
    dir.Write("largest.png", testutil::PngFile(8192, 1, 3, std::vector<std::uint8_t>(8192 * 3, 200)));
    for (const char* name : {"wide.png", "tall.dds"}) {
        CTexture texture(name);
        EXPECT_FALSE(texture.Load()) << name;
    }
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, "cant open tex file :wide.png");
    EXPECT_EQ(boxes.Boxes()[1].text, "cant open tex file :tall.dds");
    CTexture largest("largest.png");
    EXPECT_TRUE(largest.Load());
}
