#include "world/heightterrain.h"
#include "world/worldfixture.h"

namespace {

class TerrainTest : public WorldTest {
protected:
    CHeightTerrain terrain;

    void SetUp() override
    {
        WorldTest::SetUp();
        UseDevice(64, 64);
        WriteGreys("blocks/flat.bmp", 1, 1, {0});
    }
    // A terrain file whose blocks P, Q and R are 40 deep, viewed from 0 to 100, with `order` as
    // its order section and `data` leading its data section (the first of two keys wins).
    void Load(const std::string& order, const std::string& data = "")
    {
        root.Write("terrain/strip.txt",
                   "[data]\n" + data +
                       "globalwidthx=40\nglobalwidthz=40\nglobalmaxheight=30\nLOD=5\nviewboardermin=0\n"
                       "viewboardermax=100\nheight=-5\nspeed=1\nBlockDataDir=$\\blocks\n"
                       "[blocklist]\nname1=P\nheight1=flat.bmp\nname2=Q\nheight2=flat.bmp\nname3=R\nheight3=flat.bmp\n"
                       "[order]\n" +
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
    std::string Placed() const
    {
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
    EXPECT_EQ(BoxTexts(), "");
    EXPECT_EQ(Walk(6), "PQPQPQ");
    terrain.DisableLoop("hills");
    terrain.DisableLoop("hills");
    terrain.DisableLoop("");
    EXPECT_EQ(terrain.disabledLoops.Count(), 1);
    EXPECT_EQ(Walk(7), "RPQRPQR");
    terrain.Start();
    EXPECT_EQ(terrain.disabledLoops.Count(), 0);
    EXPECT_EQ(Placed(), "P@20 Q@60 P@100 ");
    EXPECT_EQ(Walk(2), "QP");

    Load("[\nP\nQ\n]\nR\n");  // a loop without a name cannot be ended
    terrain.Start();
    terrain.DisableLoop("");
    EXPECT_EQ(Walk(5), "QPQPQ");
}

TEST_F(TerrainTest, BlocksScrollDropBehindAndArePlacedAhead)
{
    Load("P\nQ\nR\n");
    EXPECT_EQ(terrain.height.Get(), -5.0f);
    EXPECT_EQ(terrain.speed.Get(), 1.0f);
    terrain.Update();  // nothing placed before Start: nothing moves
    EXPECT_EQ(Placed(), "");
    terrain.Start();
    EXPECT_EQ(Placed(), "P@20 Q@60 R@100 ");
    terrain.Update();
    EXPECT_EQ(Placed(), "P@19 Q@59 R@99 ");
    for (int i = 0; i < 20; ++i)
        terrain.Update();
    EXPECT_EQ(Placed(), "P@-1 Q@39 R@79 P@119 ");  // R's far edge went below 100
    for (int i = 0; i < 20; ++i)
        terrain.Update();
    EXPECT_EQ(Placed(), "Q@19 R@59 P@99 ");  // P's far edge went below 0
    terrain.SetViewBoarder(0, 200);
    terrain.Update();
    EXPECT_EQ(Placed(), "Q@18 R@58 P@98 Q@138 R@178 P@218 ");
    terrain.ChangeSpeed(0, -50, 0, 0, 0, 0);
    terrain.Update();
    EXPECT_EQ(Placed(), "Q@68 R@108 P@148 Q@188 ");  // nothing is placed behind
}

// Orders the walk cannot draw from, and blocks without depth, are reported when loaded and
// place nothing; parsing stops at a bad line and keeps what came before.
TEST_F(TerrainTest, OrdersWithoutAReachableBlockPlaceNothing)
{
    Load("");
    EXPECT_EQ(BoxTexts(), "Order Holds No Block|");
    terrain.Start();
    EXPECT_TRUE(terrain.instances.empty());
    EXPECT_EQ(terrain.NextOrder(), -1);

    boxes.Clear();
    Load("P\n[Empty\n]\nQ\n");
    EXPECT_EQ(BoxTexts(), "Loop Holds No Block:Empty|");
    terrain.Start();
    EXPECT_TRUE(terrain.instances.empty());

    boxes.Clear();
    Load("P\nQ\nR\n]\nQ\n");
    EXPECT_EQ(BoxTexts(), "No corresponding Loop Start Found at3|");
    EXPECT_EQ(terrain.order.Count(), 4);
    EXPECT_EQ(Walk(4), "PQRP");

    boxes.Clear();
    Load("P\n\nQ\n");
    EXPECT_EQ(BoxTexts(), "HeightBlock Not Found|");
    EXPECT_EQ(Walk(2), "PP");

    boxes.Clear();
    Load("P\n", "globalwidthz=0\n");  // blocks without depth would never fill the window
    EXPECT_EQ(BoxTexts(), "globalwidthz Must Be Above 0|");
    terrain.Start();
    EXPECT_TRUE(terrain.instances.empty());

    boxes.Clear();
    Load("P\n", "LOD=9\n");
    EXPECT_EQ(BoxTexts(), "warning:LOD must be 0 to 5, not 9|");
    EXPECT_EQ(terrain.LOD, 5);
}
