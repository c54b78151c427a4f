#include <gtest/gtest.h>

#include "foundation/arraylist.h"
#include "support/testutil.h"

namespace {

// An element that owns something: it can be made and destroyed but never copied.
struct Counted {
    static int constructed;
    static int destroyed;
    int value = 0;
    Counted() { ++constructed; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
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

TEST(ArrayList, AddNewHandsOutTheBlocksOwnElementsWithoutACopy)
{
    Counted::constructed = Counted::destroyed = 0;
    {
        ArrayList<Counted> list(20);
        Counted* first = list.AddNew();
        EXPECT_EQ(Counted::constructed, 20);  // the whole block, and nothing else
        EXPECT_EQ(Counted::destroyed, 0);
        first->value = 5;
        for (int i = 1; i < 21; ++i)
            list.AddNew()->value = i;
        EXPECT_EQ(list.nBlockCount, 2);
        EXPECT_EQ(list.Get(0), first);
        EXPECT_EQ(first->value, 5);
        EXPECT_EQ(list.Get(20)->value, 20);

        list.Clear();
        EXPECT_EQ(Counted::destroyed, 40);
        EXPECT_EQ(list.Count(), 0);
        list.AddNew();
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
