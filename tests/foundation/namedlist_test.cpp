#include <gtest/gtest.h>

#include <string>

#include "foundation/namedlist.h"

namespace {

struct Named {
    std::string strName;
    std::string strOther;
};

TEST(NamedList, FindsInAnyAsciiCaseAcrossBlocksAndOnlyExactBytesOtherwise)
{
    ArrayList<Named> list(4);
    for (int i = 0; i < 10; ++i)
        list.Add({"Item" + std::to_string(i), "other" + std::to_string(i)});
    list.Add({"\xD6\xD0" "Ab", ""});
    list.Add({"item0", ""});

    EXPECT_EQ(FindNamed(list, "ITEM0"), list.Get(0)) << "the first match wins";
    EXPECT_EQ(FindNamed(list, "item9"), list.Get(9)) << "past the first block";
    EXPECT_EQ(FindNamed(list, "\xD6\xD0" "aB"), list.Get(10));
    EXPECT_EQ(FindNamed(list, "\xF6\xF0" "ab"), nullptr) << "bytes past ASCII keep their case";
    EXPECT_EQ(FindNamed(list, "item"), nullptr);
    EXPECT_EQ(FindNamed(list, "OTHER3", &Named::strOther), list.Get(3));
}

}  // namespace
