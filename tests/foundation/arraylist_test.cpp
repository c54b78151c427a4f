#include <gtest/gtest.h>

#include <vector>

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

// A walk gives every element in order across blocks, the elements themselves, and goes on to what
// is added behind it while it runs, as a loop up to Count does. Get answers every index at once
// from its table of blocks, also after a Clear.
TEST(ArrayList, WalksGoOnToWhatIsAddedBehindThemAndGetFollowsClears)
{
    testutil::BoxCapture boxes;
    ArrayList<int> list(3), empty(3);
    EXPECT_TRUE(empty.begin() == empty.end());
    list.Add(0);
    std::vector<int> seen;
    std::vector<int*> places;
    for (int& x : list) {
        seen.push_back(x);
        places.push_back(&x);
        if (x < 7) list.Add(x + 1);  // at the end of a full block, too
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Get(i), places[static_cast<std::size_t>(i)]) << i;
    const ArrayList<int>& constant = list;
    EXPECT_EQ(std::vector<int>(constant.begin(), constant.end()), seen);

    const auto stamp = list.Stamp();
    EXPECT_NE(stamp, empty.Stamp());
    list.Clear();
    EXPECT_NE(list.Stamp(), stamp);
    EXPECT_EQ(list.Get(0), nullptr);
    list.Add(5);
    EXPECT_EQ(*list.Get(0), 5);
    EXPECT_EQ(list.Get(1), list.Get(0));
    EXPECT_EQ(boxes.Captioned(), testutil::Strings(2, ":|ArrayList Index Out Of Bounds"));
}
