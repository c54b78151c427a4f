#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/nameindex.h"

namespace {

struct Named {
    std::string strName;
    std::string strOther;
};

TEST(NamedList, FindsInAnyAsciiCaseAcrossBlocksAndOnlyExactBytesOtherwise)
{
    ArrayList<Named> list(4);
    for (int i = 0; i < 10; ++i) list.Add({"Item" + std::to_string(i), "other" + std::to_string(i)});
    list.Add({"\xD6\xD0" "Ab", ""});
    list.Add({"item0", ""});

    EXPECT_EQ(FindNamed(list, "ITEM0"), list.Get(0)) << "the first match wins";
    EXPECT_EQ(FindNamed(list, "item9"), list.Get(9)) << "past the first block";
    EXPECT_EQ(FindNamed(list, "\xD6\xD0" "aB"), list.Get(10));
    EXPECT_EQ(FindNamed(list, "\xF6\xF0" "ab"), nullptr) << "bytes past ASCII keep their case";
    EXPECT_EQ(FindNamed(list, "item"), nullptr);
    EXPECT_EQ(FindNamed(list, "OTHER3", &Named::strOther), list.Get(3));
}

// The index finds what FindNamed finds, for names added before and after earlier lookups, and
// forgets a list that was cleared and filled again.
TEST(NamedList, TheIndexAgreesWithTheListAsItGrowsAndIsCleared)
{
    ArrayList<Named> list(4);
    CNamedListIndex<Named> index, other(&Named::strOther);
    const std::vector<std::string> queries = {"item0", "ITEM7", "", "\xD6\xD0" "AB", "late", "none", "x"};
    auto agree = [&] {
        for (const std::string& q : queries) {
            EXPECT_EQ(index.Find(list, q), FindNamed(list, q)) << q;
            EXPECT_EQ(other.Find(list, q), FindNamed(list, q, &Named::strOther)) << q;
        }
    };
    agree();  // empty
    for (int i = 0; i < 10; ++i) list.Add({"Item" + std::to_string(i), i % 2 ? "" : "x"});
    list.Add({"\xD6\xD0" "ab", "item0"});
    agree();
    list.Add({"ITEM0", "Late"});
    list.Add({"", "late"});
    list.Add({"late", ""});
    agree();
    list.Clear();
    list.Add({"late", "item7"});
    list.Add({"Item7", ""});
    agree();
}

}  // namespace
