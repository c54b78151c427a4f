#include <algorithm>

#include "foundation/inifile.h"
#include "world/worldfixture.h"

namespace {

class HeightBlockTest : public WorldTest {
protected:
    HeightBlockManager manager;

    void SetUp() override
    {
        WorldTest::SetUp();
        UseDevice(64, 64);
    }
    void TearDown() override
    {
        manager.Clear();
        WorldTest::TearDown();
    }
    std::vector<CHeightVertex> Vertices(const CHeightBlock& b) { return Read<CHeightVertex>(b.pVertexBuffer, b.nVertexCount); }
    std::vector<WORD> Indices(const CHeightBlock& b) { return Read<WORD>(b.pIndexBuffer, b.nTriangleCount * 3); }
};

}  // namespace

// Bitmap row 0 lies at the lowest z and column 0 at the lowest x; a grey value g lifts its
// vertex to g / 3 / 255 of the height scale. Levels of detail past 5 are taken as 5, below 0 as 0.
TEST_F(HeightBlockTest, CoarsestMeshTakesTheBitmapCornersAndScaling)
{
    WriteGreys("corners.bmp", 2, 2, {0, 255, 150, 75});
    const D3DXVECTOR3 size(40, 255, 20);
    CHeightBlock* block = manager.LoadBlock("Corners", "corners.bmp", "", size, 6);  // 6 would leave no cell
    ASSERT_EQ(block->nGrid, 2);
    EXPECT_EQ(block->nVertexCount, 4);
    EXPECT_EQ(block->nTriangleCount, 2);
    const auto v = Vertices(*block);
    const float expected[4][3] = {{-20, 0, -10}, {20, 85, -10}, {-20, 50, 10}, {20, 25, 10}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(v[i].y, expected[i][1]) << i;
        EXPECT_FLOAT_EQ(v[i].z, expected[i][2]) << i;
        EXPECT_EQ(v[i].ny, 1.0f) << "corner normals point up";
    }
    EXPECT_EQ(v[3].u, 1.0f);
    EXPECT_EQ(v[3].v, 1.0f);
    EXPECT_EQ(Indices(*block), (std::vector<WORD>{0, 2, 1, 1, 2, 3}));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(HeightBlockTest, FinestMeshOfAWhiteBitmap)
{
    WriteGreys("white.bmp", 1, 1, {255});
    CHeightBlock* block = manager.LoadBlock("White", "white.bmp", "", D3DXVECTOR3(64, 30, 64), -3);
    EXPECT_EQ(block->nGrid, 64);
    EXPECT_EQ(block->nTriangleCount, 7938);
    for (const CHeightVertex& vertex : Vertices(*block)) {
        ASSERT_FLOAT_EQ(vertex.y, 10.0f);
        ASSERT_EQ(vertex.nx, 0.0f);
        ASSERT_GT(vertex.ny, 0.0f);
    }
    const auto indices = Indices(*block);
    EXPECT_EQ(*std::max_element(indices.begin(), indices.end()), 4095);
}

// A list numbered 1, 2 and 4 ends at 3; a name met again, in any case and with other sizes, is
// the block made first; an unreadable bitmap still makes a (flat, meshless) block.
TEST_F(HeightBlockTest, BlockListsLoadUpToTheFirstGapAndReuseNames)
{
    WriteGreys("blocks/a.bmp", 2, 2, {10, 20, 30, 40});
    root.Write("strip.txt",
               "[blocklist]\nname1=Hill\nheight1=a.bmp\nname2=HILL\nheight2=a.bmp\nname3=Gone\nheight3=none.bmp\n"
               "name5=Late\nheight5=a.bmp\n");
    CIniFile ini("strip.txt");
    manager.LoadBlockList(ini, "blocklist", "$\\blocks", D3DXVECTOR3(10, 10, 10), 5);
    EXPECT_EQ(manager.blocks.Count(), 2);
    ASSERT_NE(manager.Find("hill"), nullptr);
    EXPECT_EQ(manager.Find("hill")->strName, "Hill");
    EXPECT_NE(manager.Find("hill")->pVertexBuffer, nullptr);
    EXPECT_EQ(manager.Find("Late"), nullptr);
    CHeightBlock* gone = manager.Find("gone");
    ASSERT_NE(gone, nullptr);
    EXPECT_EQ(gone->pHeights, nullptr);
    EXPECT_EQ(gone->pVertexBuffer, nullptr);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "bmp文件不存在:none.bmp");

    CHeightBlock* again = manager.LoadBlock("hIlL", "a.bmp", "", D3DXVECTOR3(99, 99, 99), 0);
    EXPECT_EQ(again, manager.Find("Hill"));
    EXPECT_EQ(again->nGrid, 2);
    EXPECT_EQ(again->vBlockSize.x, 10.0f);
}

// A ramp block seen from above and in front, through an orthographic camera: the top of its
// silhouette follows the heights of its far edge. Default culling shows its upper side.
TEST_F(HeightBlockTest, RampProfileFollowsTheBitmapAndItsNormalsLeanAwayFromTheRise)
{
    UseDevice(64, 128);
    WriteGreys("ramp.bmp", 4, 1, {0, 96, 192, 255});  // heights 0, 32, 64, 85 at x = -24, -8, 8, 24
    std::vector<std::uint8_t> white(16, 255);
    root.Write("white.tga", testutil::TgaFile(2, 2, 4, white));
    CHeightBlock* block = manager.LoadBlock("ramp", "ramp.bmp", "white.tga", D3DXVECTOR3(48, 255, 48), 4);
    ASSERT_NE(block->texture.GetTexture(), nullptr);

    // Normals are the averaged turns of the differences to the neighbours, not unit length:
    // inside (1, 1) both x differences are (16, 32, 0) and both z differences (0, 0, 16); on the
    // first row at column 2 the x differences are (16, 32, 0) and (16, 21, 0).
    const auto v = Vertices(*block);
    EXPECT_FLOAT_EQ(v[1 * 4 + 1].nx, -16.0f);
    EXPECT_FLOAT_EQ(v[1 * 4 + 1].ny, 16.0f);
    EXPECT_FLOAT_EQ(v[1 * 4 + 1].nz, 0.0f);
    EXPECT_FLOAT_EQ(v[0 * 4 + 2].nx, -(32.0f + 21.0f) / 2);
    EXPECT_FLOAT_EQ(v[0 * 4 + 2].ny, 16.0f);
    EXPECT_EQ(v[0].nx, 0.0f) << "corners point straight up";

    D3DXMATRIX view, projection, both;
    const D3DXVECTOR3 eye(0, 100, -100), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixIdentity(&projection);
    projection._11 = 2.0f / 64;
    projection._22 = 2.0f / 128;
    projection._33 = 1.0f / 999;
    projection._43 = -1.0f / 999;
    D3DXMatrixMultiply(&both, &view, &projection);
    g_pDevice->SetTransform(D3DTS_VIEW, &view);
    g_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
    g_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    const D3DXVECTOR3 offset(0, -60, 0);
    DrawFrame([&] { block->Render(&offset); });

    const float xs[] = {-24, -8, 8, 24}, hs[] = {0, 32, 64, 85};
    for (float x = -20; x <= 20; x += 4) {
        const int seg = x < -8 ? 0 : (x < 8 ? 1 : 2);
        const float h = hs[seg] + (hs[seg + 1] - hs[seg]) * (x - xs[seg]) / 16;
        D3DXVECTOR3 farEdge(x, -60 + h, 24), screen;
        D3DXVec3TransformCoord(&screen, &farEdge, &both);
        const int column = static_cast<int>((screen.x + 1) / 2 * 64);
        const float expectedRow = (1 - screen.y) / 2 * 128;
        int top = 0;
        while (top < 128 && !Lit(column, top))
            ++top;
        EXPECT_NEAR(top, expectedRow, 1.5) << "x = " << x;
    }
}
