#include <gtest/gtest.h>

#include "foundation/arraylist.h"
#include "support/testutil.h"

namespace {

struct Counted {
    static int constructed;
    static int destroyed;
    int value = 0;
    Counted() { ++constructed; }
    Counted(const Counted& o) : value(o.value) { ++constructed; }
    Counted& operator=(const Counted&) = default;
    ~Counted() { ++destroyed; }
};
int Counted::constructed = 0;
int Counted::destroyed = 0;

}  // namespace

TEST(ArrayList, ElementsNeverMoveAcrossBlocks)
{
    ArrayList<int> list(20);
    int* first = list.Add(7);
    for (int i = 1; i < 45; ++i)
        list.Add(i * 10);
    EXPECT_EQ(list.Count(), 45);
    EXPECT_EQ(list.nBlockCount, 3);
    EXPECT_EQ(list.nLastBlockUsed, 5);
    EXPECT_EQ(first, list.Get(0));
    EXPECT_EQ(*list.Get(0), 7);
    EXPECT_EQ(*list.Get(20), 200);
    EXPECT_EQ(*list.Get(44), 440);
    // Element i sits in block i / 20 at place i % 20.
    EXPECT_EQ(list.Get(21), list.pFirstBlock->pNext->At(1));
}

TEST(ArrayList, OutOfRangeReportsAndFallsBack)
{
    testutil::BoxCapture boxes;
    ArrayList<int> list(20);
    list.Add(1);
    list.Add(2);
    list.Add(3);
    int* got = list.Get(3);
    EXPECT_EQ(got, list.Get(0));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, ":");
    EXPECT_EQ(boxes.Boxes()[0].text, "ArrayList Index Out Of Bounds");

    // Nothing safe to hand out: null, still reported.
    EXPECT_EQ(list.Get(-1), nullptr);
    ArrayList<int> empty(20);
    EXPECT_EQ(empty.Get(0), nullptr);
    EXPECT_EQ(boxes.Boxes().size(), 3u);
}

TEST(ArrayList, BlocksConstructAndDestroyAllTheirElements)
{
    Counted::constructed = Counted::destroyed = 0;
    {
        ArrayList<Counted> list(20);
        list.AddNew();
        // 20 in the block plus the temporary of AddNew.
        EXPECT_EQ(Counted::constructed, 21);
        EXPECT_EQ(Counted::destroyed, 1);
        list.Clear();
        EXPECT_EQ(Counted::destroyed, 21);
        EXPECT_EQ(list.Count(), 0);
        list.Add(Counted());
        EXPECT_EQ(list.Count(), 1);
        EXPECT_EQ(list.nBlockCount, 1);
    }
    EXPECT_EQ(Counted::constructed, Counted::destroyed);
}

TEST(ArrayList, AssignmentCopiesDeeply)
{
    ArrayList<int> a(20);
    for (int i = 0; i < 25; ++i)
        a.Add(i);
    ArrayList<int> b(20);
    b = a;
    *a.Get(3) = 99;
    EXPECT_EQ(b.Count(), 25);
    EXPECT_EQ(*b.Get(3), 3);
    EXPECT_EQ(*b.Get(24), 24);
    EXPECT_NE(a.pFirstBlock, b.pFirstBlock);
}
