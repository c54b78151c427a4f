#include <gtest/gtest.h>

#include <sys/stat.h>

#include "foundation/stringlist.h"
#include "support/testutil.h"

namespace {

class StringListTest : public testutil::ScratchFolderTest {
protected:
    CStringList list;

    std::vector<std::string> Loaded(const std::string& bytes)
    {
        dir.Write("a.txt", bytes);
        EXPECT_TRUE(list.LoadFromFile("a.txt"));
        return list.Items;
    }
};

}  // namespace

TEST_F(StringListTest, LinesAreReadWholeWithTheirBlanks)
{
    const std::string longLine(300, 'x');
    EXPECT_EQ(Loaded("one\r\n\n  b  \n" + longLine + "\nlast"),
              (std::vector<std::string>{"one", "", "  b  ", longLine, "last"}));
    // A Ctrl-Z ends the text: an old editor's trailer adds no line, and nothing after it counts.
    EXPECT_EQ(Loaded("[main]\r\nx := 1\r\n\x1A"), (std::vector<std::string>{"[main]", "x := 1"}));
    EXPECT_EQ(Loaded("a\rb\x1A\nc\n"), std::vector<std::string>{"a\rb"});  // a lone carriage return stays

    dir.Write("empty.txt", "");
    EXPECT_FALSE(list.LoadFromFile("empty.txt"));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(StringListTest, FailedOpenReportsAndKeepsItems)
{
    list.Add("kept");
    EXPECT_FALSE(list.LoadFromFile("missing.txt"));
    // A named pipe is a file that cannot be read, not one to wait on.
    ASSERT_EQ(::mkfifo("pipe.txt", 0600), 0);
    EXPECT_FALSE(list.LoadFromFile("pipe.txt"));
    EXPECT_EQ(list.Items, std::vector<std::string>{"kept"});
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "");
    EXPECT_EQ(boxes.Boxes()[0].text, "\xCE\xC4\xBC\xFE\xB6\xC1\xC8\xA1\xCA\xA7\xB0\xDC:missing.txt");
    EXPECT_EQ(boxes.Boxes()[1].text, "\xCE\xC4\xBC\xFE\xB6\xC1\xC8\xA1\xCA\xA7\xB0\xDC:pipe.txt");
}

TEST_F(StringListTest, SaveThenLoadRoundTrips)
{
    CStringList out;
    out.Items = {"first", "", "\xD6\xD0\xCE\xC4"};
    ASSERT_TRUE(out.SaveToFile("saved.txt"));
    ASSERT_TRUE(list.LoadFromFile("saved.txt"));
    EXPECT_EQ(list.Items, out.Items);
    EXPECT_FALSE(out.SaveToFile("no_such_folder\\x.txt"));
}
