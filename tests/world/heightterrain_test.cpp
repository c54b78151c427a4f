#include "world/heightterrain.h"

#include "foundation/inifile.h"
#include "world/worldfixture.h"

namespace {

class TerrainTest : public WorldTest {
protected:
    CHeightTerrain terrain;

    // A terrain file whose blocks P, Q and R are 40 deep, viewed from 0 to 100, with `order` as
    // its order section and `data` leading its data section (the first of two keys wins).
    void Load(const std::string& order, const std::string& data = "")
    {
        if (!device)
            UseDevice(64, 64);
        WriteGreys("blocks/flat.bmp", 1, 1, {0});
        root.Write("blocks/white.tga", testutil::TgaFile(2, 2, 4, std::vector<std::uint8_t>(16, 255)));
        root.Write("terrain/strip.txt", "[data]\n" + data +
                                            "globalwidthx=40\nglobalwidthz=40\nglobalmaxheight=30\nLOD=5\n"
                                            "viewboardermin=0\nviewboardermax=100\nheight=-5\nspeed=1\n"
                                            "BlockDataDir=$\\blocks\n[blocklist]\nname1=P\nheight1=flat.bmp\n"
                                            "texture1=white.tga\nname2=Q\nheight2=flat.bmp\ntexture2=white.tga\n"
                                            "name3=R\nheight3=flat.bmp\ntexture3=white.tga\n[order]\n" +
                                            order);
        terrain.Load("$\\terrain\\strip.txt");
    }
    // The names of the next n blocks of the walk.
    std::string Walk(int n)
    {
        std::string out;
        for (int i = 0; i < n; ++i) {
            const int item = terrain.NextOrder();
            out += item < 0 ? "-" : terrain.order.Get(item)->pBlock->strName;
        }
        return out;
    }
    // The blocks placed, each as its name and the z of its centre, after n updates.
    std::string Placed(int updates = 0)
    {
        for (int i = 0; i < updates; ++i)
            terrain.Update();
        std::string out;
        for (const TBlockInstance& b : terrain.instances)
            out += b.pBlock->strName + "@" + (testing::Message() << b.z).GetString() + " ";
        return out;
    }
};

}  // namespace

// The loop repeats until disabled by the name a script passes, lower-cased; from then on the
// whole order repeats, until Start restores the loop.
TEST_F(TerrainTest, LoopsRepeatUntilDisabledByNameInAnyCase)
{
    Load("[Hills\nP\nQ\n]\nR\n");
    EXPECT_EQ(Reports(), "");
    EXPECT_EQ(Walk(6), "PQPQPQ");
    for (const char* name : {"hills", "hills", ""})
        terrain.DisableLoop(name);
    EXPECT_EQ(terrain.disabledLoops.Count(), 1);
    EXPECT_EQ(Walk(7), "RPQRPQR");
    terrain.Start();
    EXPECT_EQ(Placed(), "P@20 Q@60 P@100 ");

    Load("[\nP\nQ\n]\nR\n");  // a loop without a name cannot be ended
    terrain.Start();
    terrain.DisableLoop("");
    EXPECT_EQ(Walk(5), "QPQPQ");
}

TEST_F(TerrainTest, BlocksScrollDropBehindAndArePlacedAhead)
{
    Load("P\nQ\nR\n");
    EXPECT_EQ(D3DXVECTOR2(terrain.height.Get(), terrain.speed.Get()), D3DXVECTOR2(-5, 1));
    EXPECT_EQ(Placed(1), "");  // nothing placed before Start: nothing moves
    terrain.Start();
    EXPECT_EQ(Placed(), "P@20 Q@60 R@100 ");
    EXPECT_EQ(Placed(1), "P@19 Q@59 R@99 ");
    EXPECT_EQ(Placed(20), "P@-1 Q@39 R@79 P@119 ");  // R's far edge went below 100
    EXPECT_EQ(Placed(20), "Q@19 R@59 P@99 ");         // P's far edge went below 0
    terrain.SetViewBoarder(0, 200);
    EXPECT_EQ(Placed(1), "Q@18 R@58 P@98 Q@138 R@178 P@218 ");
    terrain.ChangeSpeed(0, -50, 0, 0, 0, 0);
    EXPECT_EQ(Placed(1), "Q@68 R@108 P@148 Q@188 ");  // nothing is placed behind
}

// Orders the walk cannot draw from, and blocks without depth, are reported when loaded and
// place nothing; parsing stops at a bad line and keeps what came before; the level of detail
// is clamped. Each row's window reaches to 160: four blocks.
TEST_F(TerrainTest, OrdersWithoutAReachableBlockPlaceNothing)
{
    const struct {
        const char *order, *data = "", *reports, *placed;
    } rows[] = {
        {.order = "", .reports = "CHeightTerrain:|Order Holds No Block\n", .placed = ""},
        {.order = "P\nQ\n[Empty\n]\nR\n", .reports = "CHeightTerrain:|Loop Holds No Block:Empty\n", .placed = ""},
        {.order = "P\nQ\nR\n]\nQ\n", .reports = "CHeightTerrain:|No corresponding Loop Start Found at3\n",
         .placed = "P@20 Q@60 R@100 P@140 "},
        {.order = "P\n\nQ\n", .reports = "CHeightTerrain:|HeightBlock Not Found\n", .placed = "P@20 P@60 P@100 P@140 "},
        {.order = "P\n", .data = "globalwidthz=0\n", .reports = "CHeightTerrain:|globalwidthz Must Be Above 0\n",
         .placed = ""},  // blocks without depth would never fill the window
        {.order = "P\n", .data = "LOD=9\n", .reports = "CHeightTerrain|warning:LOD must be 0 to 5, not 9\n",
         .placed = "P@20 P@60 P@100 P@140 "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.order) + row.data);
        boxes.Clear();
        Load(row.order, row.data + std::string("viewboardermax=160\n"));
        EXPECT_EQ(Reports(), row.reports);
        EXPECT_EQ(terrain.LOD, 5);
        terrain.Start();
        EXPECT_EQ(Placed(), row.placed);
    }
}

// The scene's camera (eye at (0, 50, -50), near 10, far 500) shows the blocks of a long strip up
// to its far plane: the frame is the one every block drawn gives, and the blocks past the plane
// set their states without a draw. A strip scrolled by a typo of a speed lies wholly behind the
// camera: nothing is drawn, and the states left are still the last block's.
TEST_F(TerrainTest, BlocksOutsideTheCamerasDepthRangeSetTheirStatesWithoutADraw)
{
    Load("P\nQ\n", "viewboardermax=2000\n");
    g_Scene.ResetView();
    terrain.Start();
    auto frame = [&](bool culled, std::vector<std::string>& calls) {
        std::vector<std::string>& recorded = Record();
        testutil::DrawFrame([&] {
            g_Scene.SetupView();
            recorded.clear();
            if (culled) {
                terrain.Render(g_Scene.camera);
            } else {
                for (const TBlockInstance& b : terrain.instances) {
                    const D3DXVECTOR3 offset(0.0f, terrain.height.Get(), b.z);
                    b.pBlock->Render(&offset);
                }
            }
            calls = recorded;
        });
        std::vector<D3DCOLOR> pixels;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                pixels.push_back(testutil::PresentedPixel(x, y));
        return pixels;
    };
    auto draws = [](std::vector<std::string>& calls) {
        return std::erase_if(calls, [](const std::string& c) { return c.starts_with("DrawIndexedPrimitive"); });
    };
    std::vector<std::string> shown, every;
    EXPECT_EQ(frame(true, shown), frame(false, every));
    EXPECT_EQ(terrain.instances.size(), 50u);
    EXPECT_EQ(std::make_pair(draws(shown), draws(every)), std::make_pair(std::size_t{16}, std::size_t{50}));
    EXPECT_EQ(shown, every);

    terrain.ChangeSpeed(0, 100000, 0, 0, 0, 0);
    terrain.Update();
    ASSERT_FALSE(terrain.instances.empty());
    EXPECT_LT(terrain.instances.back().z, -50000.0f);
    frame(true, shown);
    frame(false, every);
    EXPECT_EQ(std::make_pair(draws(shown), draws(every)), std::make_pair(std::size_t{0}, terrain.instances.size()));
    EXPECT_EQ(shown, every);
}

// Order lines name blocks in any case and find the first block of the name, also one added after
// earlier lookups, and the blocks of the present list after the blocks were cleared.
TEST_F(TerrainTest, OrderLinesFindTheFirstBlockOfTheirName)
{
    ArrayList<CHeightBlock>& blocks = g_HeightBlockManager.blocks;
    CHeightBlock* extra = blocks.AddNew();
    extra->strName = "s";
    Load("p\nQ\ns\n");
    blocks.AddNew()->strName = "S";
    CIniFile file = OpenDataFile("$\\terrain\\strip.txt");
    terrain.ParseOrder(file, "order");
    std::vector<CHeightBlock*> named;
    for (const TOrderItem& item : terrain.order) named.push_back(item.pBlock);
    EXPECT_EQ(named, (std::vector{blocks.Get(1), blocks.Get(2), extra}));

    g_HeightBlockManager.Clear();
    Load("R\n");
    EXPECT_EQ(terrain.order.Get(0)->pBlock, blocks.Get(2));
    EXPECT_EQ(Reports(), "");
}
