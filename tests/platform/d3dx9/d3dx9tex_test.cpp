#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "platform/d3dx9.h"
#include "platform/seams.h"
#include "support/mediafiles.h"
#include "support/testdevice.h"
#include "support/testutil.h"

namespace {

constexpr std::size_t kImageBytes = 4 * 4 * 4;  // what one 4 x 4 image takes

// A 4 x 4 image of one colour (0xRRGGBB), as a BMP: every colour gives a file of one length.
std::string Image(D3DCOLOR rgb)
{
    std::vector<std::uint8_t> px;
    for (int i = 0; i < 16; ++i)
        px.insert(px.end(), {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                             static_cast<std::uint8_t>(rgb)});
    return testutil::BmpFile(4, 4, 3, px);
}

class TextureFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::seams::ResetAll();
        device = testutil::MakeTestDevice(16, 16);
        ASSERT_NE(device, nullptr);
    }
    // The device goes first: the textures still hold it.
    void TearDown() override
    {
        if (device)
            device->Release();
        for (IDirect3DTexture9* t : textures)
            if (t)
                t->Release();
        platform::seams::ResetAll();
    }

    // A texture loaded from the file, kept until the test ends unless released; null on failure
    // (which must then be E_FAIL).
    IDirect3DTexture9* Load(const std::string& file)
    {
        IDirect3DTexture9* texture = nullptr;
        const HRESULT hr = D3DXCreateTextureFromFileA(device, file.c_str(), &texture);
        EXPECT_EQ(hr, texture ? D3D_OK : E_FAIL) << file;
        textures.push_back(texture);
        return texture;
    }
    void Release(IDirect3DTexture9* texture)
    {
        std::erase(textures, texture);
        texture->Release();
    }

    // The first texel as 0xRRGGBB, read without writing.
    static D3DCOLOR Texel(IDirect3DTexture9* texture)
    {
        D3DLOCKED_RECT locked{};
        if (texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY) != D3D_OK)
            return 0xDEAD;
        const D3DCOLOR c = *static_cast<const D3DCOLOR*>(locked.pBits) & 0xFFFFFF;
        texture->UnlockRect(0);
        return c;
    }
    // Fills the texture with one colour through a writing lock.
    static HRESULT Paint(IDirect3DTexture9* texture, D3DCOLOR rgb)
    {
        D3DLOCKED_RECT locked{};
        const HRESULT hr = texture->LockRect(0, &locked, nullptr, 0);
        if (hr != D3D_OK)
            return hr;
        for (int i = 0; i < 16; ++i)
            static_cast<D3DCOLOR*>(locked.pBits)[i] = 0xFF000000 | rgb;
        return texture->UnlockRect(0);
    }

    IDirect3DDevice9* device = nullptr;
    std::vector<IDirect3DTexture9*> textures;
    testutil::TempDir dir;
};

}  // namespace

TEST_F(TextureFileTest, LoadsOfOneUnchangedFileShareOneImageThatCountsOnceAgainstTheBudget)
{
    platform::seams::SetTextureBudget(kImageBytes);
    dir.Write("a/pic.bmp", Image(0xFF0000));
    dir.Write("b/pic.bmp", Image(0x0000FF));
    const std::string a = dir.Path() + "/a/pic.bmp";

    // Three textures, each released on its own, over one image.
    IDirect3DTexture9* first = Load(a);
    IDirect3DTexture9* second = Load(a);
    IDirect3DTexture9* third = nullptr;
    {
        testutil::ScopedCwd inA(dir.Path() + "/a");
        third = Load("PIC.BMP");  // the same file by another name
    }
    ASSERT_TRUE(first && second && third);
    EXPECT_TRUE(first != second && second != third);
    // The same name in another folder is another file: past the budget, it fails to load.
    testutil::ScopedCwd inB(dir.Path() + "/b");
    EXPECT_EQ(Load("pic.bmp"), nullptr);
    Release(first);
    Release(second);
    EXPECT_EQ(Texel(third), 0xFF0000u);
    EXPECT_EQ(Load("pic.bmp"), nullptr) << "the image lives while a texture holds it";
    Release(third);
    // The last texture gone, the budget is free again.
    IDirect3DTexture9* blue = Load("pic.bmp");
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(Texel(blue), 0x0000FFu);

    // DXT images count by their blocks (one 4 x 4 block of DXT1 takes 8 bytes), and are shared
    // as well.
    platform::seams::SetTextureBudget(kImageBytes + 8);
    dir.Write("b/block.dds", testutil::DdsHeader(4, 4, 0x4, "DXT1", 0) + std::string(8, '\0'));
    EXPECT_TRUE(Load("block.dds") && Load("block.dds"));
}

TEST_F(TextureFileTest, AChangedFileIsReadAgainAndAWriteReachesOneTextureAlone)
{
    platform::seams::SetTextureBudget(3 * kImageBytes);
    const std::string path = dir.Path() + "/pic.bmp";
    dir.Write("pic.bmp", Image(0xFF0000));
    IDirect3DTexture9* old = Load(path);
    // Rewritten with bytes of the same length: its new time tells the change.
    dir.Write("pic.bmp", Image(0x00FF00));
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(2));
    IDirect3DTexture9* changed = Load(path);
    IDirect3DTexture9* again = Load(path);
    ASSERT_TRUE(old && changed && again);
    EXPECT_EQ((std::vector{Texel(old), Texel(changed), Texel(again)}),
              (std::vector<D3DCOLOR>{0xFF0000, 0x00FF00, 0x00FF00}));

    // A write to a shared texture copies its image first: with no room for the copy, the lock
    // is refused; a reading lock never copies.
    platform::seams::SetTextureBudget(2 * kImageBytes);
    EXPECT_EQ(Paint(changed, 0x0000FF), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(Texel(changed), 0x00FF00u);
    platform::seams::SetTextureBudget(3 * kImageBytes);
    ASSERT_EQ(Paint(changed, 0x0000FF), D3D_OK);
    IDirect3DTexture9* later = Load(path);
    ASSERT_NE(later, nullptr) << "shares the file's image, not the written copy";
    EXPECT_EQ((std::vector{Texel(changed), Texel(again), Texel(later)}),
              (std::vector<D3DCOLOR>{0x0000FF, 0x00FF00, 0x00FF00}));

    // A write to a texture that alone holds its file's image takes no copy, and later loads of
    // the file read it again rather than see the write.
    for (IDirect3DTexture9* t : {old, again, later})
        Release(t);
    IDirect3DTexture9* alone = Load(path);
    platform::seams::SetTextureBudget(2 * kImageBytes);
    ASSERT_EQ(Paint(alone, 0xFFFFFF), D3D_OK);
    platform::seams::SetTextureBudget(3 * kImageBytes);
    IDirect3DTexture9* reread = Load(path);
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ((std::vector{Texel(changed), Texel(alone), Texel(reread)}),
              (std::vector<D3DCOLOR>{0x0000FF, 0xFFFFFF, 0x00FF00}));
}
