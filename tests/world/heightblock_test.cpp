#include <cstring>
#include <tuple>

#include "foundation/inifile.h"
#include "world/worldfixture.h"

namespace {

using HeightBlockTest = WorldTest;

template <class T, class Buffer>
std::vector<T> Read(Buffer* buffer, std::size_t count)
{
    std::vector<T> out(count);
    void* data = nullptr;
    if (buffer && SUCCEEDED(buffer->Lock(0, 0, &data, 0))) {
        std::memcpy(out.data(), data, count * sizeof(T));
        buffer->Unlock();
    }
    return out;
}
auto Vertices(const CHeightBlock& b) { return Read<CHeightVertex>(b.pVertexBuffer, b.nVertexCount); }
auto Indices(const CHeightBlock& b) { return Read<WORD>(b.pIndexBuffer, b.nTriangleCount * 3); }

// The heights of a block's vertices, row by row.
std::string Heights(const CHeightBlock& b)
{
    std::vector<float> ys;
    for (const CHeightVertex& v : Vertices(b))
        ys.push_back(v.y);
    return Join(ys);
}

}  // namespace

// Bitmap row 0 lies at the lowest z and column 0 at the lowest x; a grey value g lifts its
// vertex to g / 3 / 255 of the height scale; corner normals point up. Levels of detail past 5
// are taken as 5, below 0 as 0.
TEST_F(HeightBlockTest, CoarsestAndFinestMeshesTakeTheBitmapAndScaling)
{
    UseDevice(64, 64);
    WriteGreys("corners.bmp", 2, 2, {0, 255, 150, 75});
    CHeightBlock* block = g_HeightBlockManager.LoadBlock("Corners", "corners.bmp", "", {40, 255, 20}, 6);  // no cell
    std::vector<std::string> corners;  // position, normal, texture coordinates
    for (const CHeightVertex& v : Vertices(*block))
        corners.push_back(Join({v.x, v.y, v.z, v.nx, v.ny, v.nz, v.u, v.v}));
    EXPECT_EQ(corners, (std::vector<std::string>{"-20 0 -10 0 1 0 0 0", "20 85 -10 0 1 0 1 0", "-20 50 10 0 1 0 0 1",
                                                 "20 25 10 0 1 0 1 1"}));
    EXPECT_EQ(Indices(*block), (std::vector<WORD>{0, 2, 1, 1, 2, 3}));

    // The finest mesh, of a white bitmap.
    WriteGreys("white.bmp", 1, 1, {255});
    block = g_HeightBlockManager.LoadBlock("White", "white.bmp", "", {64, 30, 64}, -3);
    EXPECT_EQ(std::tie(block->nGrid, block->nTriangleCount), std::make_tuple(64, 7938));
    for (const CHeightVertex& vertex : Vertices(*block)) {
        ASSERT_FLOAT_EQ(vertex.y, 10.0f);
        ASSERT_EQ(vertex.nx, 0.0f);
        ASSERT_GT(vertex.ny, 0.0f);
    }
}

// What the manager holds: each block's name, and whether it has heights and a mesh.
std::string Made()
{
    std::string made;
    for (int i = 0; i < g_HeightBlockManager.blocks.Count(); ++i) {
        const CHeightBlock& b = *g_HeightBlockManager.blocks.Get(i);
        made += b.strName + (b.pHeights ? " heights" : "") + (b.pVertexBuffer ? " mesh, " : ", ");
    }
    return made;
}

// A list numbered 1, 2 and 5 ends at 4; a name met again, in any case and with other sizes, is
// the block made first; an unreadable bitmap still makes a (flat, meshless) block, and is
// reported for every block that names it.
TEST_F(HeightBlockTest, BlockListsLoadUpToTheFirstGapAndReuseNames)
{
    UseDevice(64, 64);
    WriteGreys("blocks/a.bmp", 2, 2, {10, 20, 30, 40});
    root.Write("strip.txt", "[blocklist]\nname1=Hill\nheight1=a.bmp\nname2=HILL\nheight2=a.bmp\nname3=Gone\n"
                            "height3=none.bmp\nname4=Lost\nheight4=none.bmp\nname6=Late\nheight6=a.bmp\n");
    CIniFile ini("strip.txt");
    g_HeightBlockManager.LoadBlockList(ini, "blocklist", "$\\blocks", {10, 10, 10}, 5);
    EXPECT_EQ(Made(), "Hill heights mesh, Gone, Lost, ");
    EXPECT_EQ(Reports(), "|bmp文件不存在:none.bmp\n|bmp文件不存在:none.bmp\n");

    CHeightBlock* again = g_HeightBlockManager.LoadBlock("hIlL", "a.bmp", "", {99, 99, 99}, 0);
    EXPECT_EQ(again, g_HeightBlockManager.blocks.Get(0));
    EXPECT_EQ(std::tie(again->nGrid, again->vBlockSize.x), std::make_tuple(2, 10.0f));
}

// A ramp block seen from above and in front, through an orthographic camera: the top of its
// silhouette follows the heights of its far edge. Default culling shows its upper side.
TEST_F(HeightBlockTest, RampProfileFollowsTheBitmapAndItsNormalsLeanAwayFromTheRise)
{
    UseDevice(64, 128);
    WriteGreys("ramp.bmp", 4, 1, {0, 96, 192, 255});  // heights 0, 32, 64, 85 at x = -24, -8, 8, 24
    root.Write("white.tga", testutil::TgaFile(2, 2, 4, std::vector<std::uint8_t>(16, 255)));
    CHeightBlock* block = g_HeightBlockManager.LoadBlock("ramp", "ramp.bmp", "white.tga", {48, 255, 48}, 4);
    ASSERT_NE(block->texture.GetTexture(), nullptr);

    // Normals are the averaged turns of the differences to the neighbours, not unit length:
    // inside (1, 1) both x differences are (16, 32, 0) and both z differences (0, 0, 16); on the
    // first row at column 2 the x differences are (16, 32, 0) and (16, 21, 0); corners point up.
    const auto v = Vertices(*block);
    EXPECT_EQ(Join({v[5].nx, v[5].ny, v[5].nz, v[2].nx, v[2].ny, v[2].nz, v[0].nx, v[0].ny}),
              "-16 16 0 -26.5 16 0 0 1");

    D3DXMATRIX view, both;
    const D3DXMATRIX projection(2.0f / 64, 0, 0, 0, 0, 2.0f / 128, 0, 0, 0, 0, 1.0f / 999, 0, 0, 0, -1.0f / 999, 1);
    const D3DXVECTOR3 eye(0, 100, -100), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixMultiply(&both, &view, &projection);
    g_pDevice->SetTransform(D3DTS_VIEW, &view);
    g_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
    g_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    const D3DXVECTOR3 offset(0, -60, 0);
    testutil::DrawFrame([&] { block->Render(&offset); });

    const float xs[] = {-24, -8, 8, 24}, hs[] = {0, 32, 64, 85};
    for (float x = -20; x <= 20; x += 4) {
        const int seg = x < -8 ? 0 : (x < 8 ? 1 : 2);
        D3DXVECTOR3 farEdge(x, -60 + hs[seg] + (hs[seg + 1] - hs[seg]) * (x - xs[seg]) / 16, 24), screen;
        D3DXVec3TransformCoord(&screen, &farEdge, &both);
        const int column = static_cast<int>((screen.x + 1) / 2 * 64);
        EXPECT_NEAR(testutil::LitRect(column, 0, column + 1, 128).top, (1 - screen.y) / 2 * 128, 1.5) << "x = " << x;
    }
}

// The meshes of ordinary bitmaps, pinned bit for bit: every level of detail of bitmaps coarser
// and finer than the grids, square and not, read on both displays. A change to how heights are
// read or kept must leave every vertex (position, normal, texture coordinates) as it is.
TEST_F(HeightBlockTest, OrdinaryBitmapsGiveTheSameMeshesBitForBit)
{
    UseDevice(64, 64);
    struct Case {
        int width, height, displayBits;
        std::uint64_t digest;
    };
    const Case cases[] = {
        {1, 1, 32, 10287941966217602383ull},   {3, 5, 32, 8812142246381732825ull},
        {64, 64, 32, 5218569913983245526ull},  {65, 33, 32, 10553295903848911921ull},
        {100, 37, 32, 12874151145440911455ull}, {257, 3, 32, 7921665986855278526ull},
        {130, 130, 16, 7839403541802249858ull}, {4096, 2, 32, 17630279486861242278ull},
    };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> greys;
        std::uint32_t seed = static_cast<std::uint32_t>(c.width * 977 + c.height);
        for (int i = 0; i < c.width * c.height; ++i) {
            seed = seed * 1664525u + 1013904223u;
            greys.push_back(seed >> 24);
        }
        WriteGreys("pin.bmp", c.width, c.height, greys);
        platform::seams::SetDisplayBitsPerPixel(c.displayBits);
        std::uint64_t digest = 14695981039346656037ull;  // FNV-1a over every level's vertices
        for (int lod = 0; lod <= kMaxLOD; ++lod) {
            CHeightBlock block;
            const D3DXVECTOR3 size(40, 200, 30);
            block.Create("pin.bmp", "", &size, lod);
            const auto vertices = Vertices(block);
            const auto* bytes = reinterpret_cast<const unsigned char*>(vertices.data());
            for (std::size_t i = 0; i < vertices.size() * sizeof(CHeightVertex); ++i)
                digest = (digest ^ bytes[i]) * 1099511628211ull;
        }
        platform::seams::SetDisplayBitsPerPixel(32);
        EXPECT_EQ(digest, c.digest) << c.width << " x " << c.height;
    }
}

// Height maps of any size: a 1-bit bitmap 5000 pixels wide gives its corners and, at level 0,
// the pixels its columns fall on; a run-length bitmap gives its heights too.
TEST_F(HeightBlockTest, BitmapsOfAnySizeAndKindGiveHeights)
{
    UseDevice(64, 64);
    std::vector<std::uint32_t> pixels(10000, 0);
    pixels[0] = pixels[4999] = pixels[9999] = pixels[79] = 1;  // top row: 0, 79, 4999; bottom: 4999
    root.Write("wide.bmp", testutil::BmpWithBits(5000, 2, 1, pixels, {0x000000, 0xFFFFFF}));
    CHeightBlock* block = g_HeightBlockManager.LoadBlock("Wide", "wide.bmp", "", {10, 255, 10}, 5);
    EXPECT_EQ(Heights(*block), "85 85 0 85");
    block = g_HeightBlockManager.LoadBlock("Fine", "wide.bmp", "", {10, 255, 10}, 0);
    const auto vertices = Vertices(*block);  // column 1 reads pixel 4999 / 63 = 79
    EXPECT_EQ(Join({vertices[0].y, vertices[1].y, vertices[2].y, vertices[63].y, vertices[64 * 63].y}),
              "85 85 0 85 0");

    // 2^25 pixels wide (4 MB): the last column's float position rounds up past the last pixel,
    // which is read all the same.
    const int side = 1 << 25;
    std::string huge = testutil::BmpWithBits(1, 1, 1, {0}, {0x000000, 0xFFFFFF});
    huge.replace(18, 4, std::string(reinterpret_cast<const char*>(&side), 4));
    huge = huge.substr(0, 62) + std::string(side / 8 - 1, '\0') + "\x01";
    root.Write("huge.bmp", huge);
    block = g_HeightBlockManager.LoadBlock("Huge", "huge.bmp", "", {10, 255, 10}, 5);
    EXPECT_EQ(Heights(*block), "0 85 0 85");

    // 2 x 2, bottom row first: 2 pixels of grey 255, end of line, 1 of 150, end of image.
    const std::string palette = std::string("\xFF\xFF\xFF\0\x96\x96\x96\0", 8);
    const std::string stream = std::string("\x02\x00\x00\x00\x01\x01\x00\x01", 8);
    std::string rle = testutil::BmpWithBits(2, 2, 8, {0, 0, 0, 0}, {0xFFFFFF, 0x969696});
    rle.replace(30, 4, std::string("\x01\0\0\0", 4));
    rle = rle.substr(0, 62) + stream;
    root.Write("rle.bmp", rle);
    block = g_HeightBlockManager.LoadBlock("Rle", "rle.bmp", "", {10, 255, 10}, 5);
    EXPECT_EQ(Heights(*block), "50 0 85 85");
    EXPECT_EQ(Reports(), "");
}

// Blocks naming one bitmap in a list read it once: a bitmap already read is taken as it was
// (a bad one reported again), a new one is kept for the next block. The manager holds at most
// 4096 blocks: a new name past them is reported and ends the list; a known name is still found,
// in any entry of a list.
TEST_F(HeightBlockTest, ListsReadEachBitmapOnceAndHoldAtMost4096Blocks)
{
    UseDevice(64, 64);
    HeightMapCache bitmaps;
    bitmaps["known.bmp"] = {7, 9, std::vector<std::uint8_t>(kHeightSamples, 30)};
    bitmaps["bad.bmp"] = {};
    const D3DXVECTOR3 size(10, 255, 10);
    CHeightBlock* known = g_HeightBlockManager.LoadBlock("Known", "known.bmp", "", size, 5, &bitmaps);
    EXPECT_EQ(std::tie(known->nBmpWidth, known->nBmpHeight), std::make_tuple(7, 9));
    EXPECT_EQ(Heights(*known), "30 30 30 30");
    EXPECT_EQ(g_HeightBlockManager.LoadBlock("Bad", "bad.bmp", "", size, 5, &bitmaps)->pHeights, nullptr);
    WriteGreys("new.bmp", 3, 1, {0, 3, 6});
    g_HeightBlockManager.LoadBlock("New", "new.bmp", "", size, 5, &bitmaps);
    ASSERT_EQ(bitmaps.count("new.bmp"), 1u);
    EXPECT_EQ(bitmaps["new.bmp"].nWidth, 3);
    EXPECT_EQ(bitmaps["new.bmp"].samples.size(), static_cast<std::size_t>(kHeightSamples));
    EXPECT_EQ(Reports(), "|bmp文件不存在:bad.bmp\n");

    for (int i = g_HeightBlockManager.blocks.Count(); i < kMaxHeightBlocks; ++i)
        g_HeightBlockManager.LoadBlock("b" + std::to_string(i), "known.bmp", "", size, 5, &bitmaps);
    EXPECT_EQ(g_HeightBlockManager.LoadBlock("One more", "known.bmp", "", size, 5, &bitmaps), nullptr);
    EXPECT_EQ(g_HeightBlockManager.LoadBlock("KNOWN", "known.bmp", "", size, 5, &bitmaps), known);
    // Entries that name blocks already made cost no memory and do not count: only a new block
    // past the 4096th ends the list, however many entries came before it.
    std::string list = "[blocklist]\n";
    for (int i = 1; i <= kMaxHeightBlocks + 1; ++i)
        list += "name" + std::to_string(i) + "=known\n";
    root.Write("full.txt", list + "name4098=Past\nname4099=Later\n");
    CIniFile ini("full.txt");
    g_HeightBlockManager.LoadBlockList(ini, "blocklist", "$", size, 5);
    EXPECT_EQ(g_HeightBlockManager.blocks.Count(), kMaxHeightBlocks);
    EXPECT_EQ(Reports(), "|bmp文件不存在:bad.bmp\n"
                         "HeightBlockManager:|Too many HeightBlocks, 4096 at most:One more\n"
                         "HeightBlockManager:|Too many HeightBlocks, 4096 at most:Past\n");
}
