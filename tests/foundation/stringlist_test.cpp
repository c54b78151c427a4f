#include <gtest/gtest.h>

#include <sys/stat.h>

#include "foundation/stringlist.h"
#include "support/testutil.h"

namespace {

class StringListTest : public testutil::ScratchFolderTest {
protected:
    CStringList list;

    // The lines as the line list reads them, which the data-file reader's lines must match.
    std::vector<std::string> Loaded(const std::string& bytes)
    {
        dir.Write("a.txt", bytes);
        EXPECT_TRUE(list.LoadFromFile("a.txt"));
        CTextLines lines;
        EXPECT_TRUE(lines.LoadFromFile("a.txt"));
        EXPECT_EQ(Texts(lines), list.Items);
        return list.Items;
    }
    static std::vector<std::string> Texts(const CTextLines& lines)
    {
        std::vector<std::string> out;
        for (int i = 0; i < lines.Count(); ++i) out.emplace_back(lines.At(i));
        return out;
    }
};

}  // namespace

TEST_F(StringListTest, LinesAreReadWholeWithTheirBlanksAndSavedListsReadBack)
{
    const std::string longLine(300, 'x');
    EXPECT_EQ(Loaded("one\r\n\n  b  \n" + longLine + "\nlast"),
              (std::vector<std::string>{"one", "", "  b  ", longLine, "last"}));
    // A Ctrl-Z ends the text: an old editor's trailer adds no line, and nothing after it counts.
    EXPECT_EQ(Loaded("[main]\r\nx := 1\r\n\x1A"), (std::vector<std::string>{"[main]", "x := 1"}));
    EXPECT_EQ(Loaded("a\rb\x1A\nc\n"), std::vector<std::string>{"a\rb"});  // a lone carriage return stays

    // What is saved loads back as it was.
    CStringList out;
    out.Items = {"first", "", "\xD6\xD0\xCE\xC4"};
    ASSERT_TRUE(out.SaveToFile("saved.txt"));
    ASSERT_TRUE(list.LoadFromFile("saved.txt"));
    EXPECT_EQ(list.Items, out.Items);
    EXPECT_FALSE(out.SaveToFile("no_such_folder\\x.txt"));

    dir.Write("empty.txt", "");
    EXPECT_FALSE(list.LoadFromFile("empty.txt"));
    EXPECT_EQ(list.Count(), 0);
    CTextLines lines;
    lines.Add("old");
    EXPECT_FALSE(lines.LoadFromFile("empty.txt"));
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// A named pipe is a file that cannot be read, not one to wait on.
TEST_F(StringListTest, FailedOpenReportsAndKeepsItems)
{
    list.Add("kept");
    EXPECT_FALSE(list.LoadFromFile("missing.txt"));
    ASSERT_EQ(::mkfifo("pipe.txt", 0600), 0);
    EXPECT_FALSE(list.LoadFromFile("pipe.txt"));
    EXPECT_EQ(list.Items, std::vector<std::string>{"kept"});
    CTextLines lines;
    lines.Add("kept");
    EXPECT_FALSE(lines.LoadFromFile("missing.txt"));
    EXPECT_EQ(Texts(lines), std::vector<std::string>{"kept"});
    EXPECT_EQ(boxes.Captioned(), (testutil::Strings{"|文件读取失败:missing.txt", "|文件读取失败:pipe.txt",
                                                    "|文件读取失败:missing.txt"}));
}
