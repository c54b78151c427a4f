#include <gtest/gtest.h>

#include "foundation/arraylist.h"
#include "support/testutil.h"

namespace {

// An element that owns something: it can be made and destroyed but never copied.
struct Counted {
    static inline int constructed = 0, destroyed = 0;
    int value = 0;
    Counted() { ++constructed; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
    ~Counted() { ++destroyed; }
};

}  // namespace

// Elements keep their address as blocks are added and a copy owns its own. Past the end the first
// element is handed out; nothing safe to hand out gives null. Each is reported.
TEST(ArrayList, ElementsStayPutAcrossBlocksCopiesAreDeepAndOutOfRangeFallsBack)
{
    testutil::BoxCapture boxes;
    ArrayList<int> list(20), copy(5), empty(20);
    int* first = list.Add(7);
    for (int i = 1; i < 45; ++i) list.Add(i * 10);
    EXPECT_EQ(list.Count(), 45);
    EXPECT_EQ(list.Get(0), first);
    EXPECT_EQ(*list.Get(20), 200);
    EXPECT_EQ(*list.Get(44), 440);
    EXPECT_EQ(list.Get(45), first);
    EXPECT_EQ(list.Get(-1), nullptr);
    EXPECT_EQ(empty.Get(0), nullptr);
    EXPECT_EQ(boxes.Captioned(), testutil::Strings(3, ":|ArrayList Index Out Of Bounds"));

    copy = list;
    *list.Get(21) = 99;
    EXPECT_EQ(copy.Count(), 45);
    EXPECT_EQ(*copy.Get(21), 210);
    EXPECT_EQ(*copy.Get(44), 440);
}

TEST(ArrayList, AddNewHandsOutTheBlocksOwnElementsWithoutACopy)
{
    Counted::constructed = Counted::destroyed = 0;
    {
        ArrayList<Counted> list(20);
        Counted* first = list.AddNew();
        EXPECT_EQ(Counted::constructed, 20);  // the whole block, and nothing else
        first->value = 5;
        for (int i = 1; i < 21; ++i) list.AddNew()->value = i;
        EXPECT_EQ(list.Get(0), first);
        EXPECT_EQ(first->value, 5);
        EXPECT_EQ(list.Get(20)->value, 20);

        list.Clear();
        EXPECT_EQ(Counted::destroyed, 40);
        list.AddNew()->value = 3;
        EXPECT_EQ(list.Count(), 1);
        EXPECT_EQ(list.Get(0)->value, 3);
    }
    EXPECT_EQ(Counted::constructed, Counted::destroyed);
}
