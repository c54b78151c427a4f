#include "foundation/inifile.h"
#include "world/heightblock.h"
#include "worldfixture.h"

namespace {

class HeightBlockTest : public WorldTest {
protected:
    HeightBlockManager manager;

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
    const D3DXVECTOR3 size(64, 30, 64);
    CHeightBlock* block = manager.LoadBlock("White", "white.bmp", "", size, -3);
    EXPECT_EQ(block->nGrid, 64);
    EXPECT_EQ(block->nVertexCount, 4096);
    EXPECT_EQ(block->nTriangleCount, 7938);
    const auto v = Vertices(*block);
    for (const CHeightVertex& vertex : v) {
        ASSERT_FLOAT_EQ(vertex.y, 10.0f);
        ASSERT_EQ(vertex.nx, 0.0f);
        ASSERT_GT(vertex.ny, 0.0f);
    }
    const auto indices = Indices(*block);
    EXPECT_EQ(*std::max_element(indices.begin(), indices.end()), 4095);
    EXPECT_EQ(indices[indices.size() - 1], 4095);
}

// A rise toward +x leans the normals toward -x, on the edge rows and inside alike.
TEST_F(HeightBlockTest, NormalsLeanAwayFromARise)
{
    WriteGreys("ramp.bmp", 4, 1, {0, 96, 192, 255});
    const D3DXVECTOR3 size(48, 255, 48);
    CHeightBlock* block = manager.LoadBlock("Ramp", "ramp.bmp", "", size, 4);
    const auto v = Vertices(*block);
    // Heights 0, 32, 64, 85 over steps of 16 in x: inside (1, 1) the difference to the left is
    // (16, 32, 0) and to the right (16, 32, 0); along z both are (0, 0, 16).
    const CHeightVertex& inner = v[1 * 4 + 1];
    EXPECT_FLOAT_EQ(inner.nx, -16.0f);
    EXPECT_FLOAT_EQ(inner.ny, 16.0f);
    EXPECT_FLOAT_EQ(inner.nz, 0.0f);
    const CHeightVertex& edge = v[0 * 4 + 2];
    EXPECT_FLOAT_EQ(edge.nx, -(32.0f + 21.0f) / 2);
    EXPECT_FLOAT_EQ(edge.ny, 16.0f);
    EXPECT_EQ(v[0].nx, 0.0f) << "corners point straight up";
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
