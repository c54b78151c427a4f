#include <gtest/gtest.h>

#include <sys/stat.h>

#include "foundation/stringlist.h"
#include "support/testutil.h"

TEST(StringList, LoadsLinesOfAnyLengthWhole)
{
    testutil::TempDir dir;
    testutil::ScopedCwd cwd(dir.Path());
    std::string longLine(300, 'x');
    dir.Write("long.txt", "one\r\ntwo\n" + longLine + "\nfour");
    CStringList list;
    ASSERT_TRUE(list.LoadFromFile("long.txt"));
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.At(0), "one");
    EXPECT_EQ(list.At(1), "two");
    EXPECT_EQ(list.At(2), longLine);
    EXPECT_EQ(list.At(3), "four");
}

TEST(StringList, LineEndsAndBlankLines)
{
    testutil::TempDir dir;
    testutil::ScopedCwd cwd(dir.Path());
    dir.Write("a.txt", "a\n\n  b  \n");
    dir.Write("empty.txt", "");
    CStringList list;
    ASSERT_TRUE(list.LoadFromFile("a.txt"));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.At(1), "");
    EXPECT_EQ(list.At(2), "  b  ");
    EXPECT_FALSE(list.LoadFromFile("empty.txt"));
    EXPECT_EQ(list.Count(), 0);

    // A Ctrl-Z ends the text: an old editor's trailer adds no line, and nothing after it counts.
    dir.Write("trailer.txt", "[main]\r\nx := 1\r\n\x1A");
    ASSERT_TRUE(list.LoadFromFile("trailer.txt"));
    EXPECT_EQ(list.Items, (std::vector<std::string>{"[main]", "x := 1"}));
    dir.Write("cut.txt", "a\rb\x1A\nc\n");
    ASSERT_TRUE(list.LoadFromFile("cut.txt"));
    EXPECT_EQ(list.Items, std::vector<std::string>{"a\rb"});  // a lone carriage return stays
}

TEST(StringList, FailedOpenReportsAndKeepsItems)
{
    testutil::TempDir dir;
    testutil::ScopedCwd cwd(dir.Path());
    testutil::BoxCapture boxes;
    CStringList list;
    list.Add("kept");
    EXPECT_FALSE(list.LoadFromFile("missing.txt"));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.At(0), "kept");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "");
    EXPECT_EQ(boxes.Boxes()[0].text, "\xCE\xC4\xBC\xFE\xB6\xC1\xC8\xA1\xCA\xA7\xB0\xDC:missing.txt");

    // A named pipe is a file that cannot be read, not one to wait on.
    ASSERT_EQ(::mkfifo("pipe.txt", 0600), 0);
    EXPECT_FALSE(list.LoadFromFile("pipe.txt"));
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[1].text, "\xCE\xC4\xBC\xFE\xB6\xC1\xC8\xA1\xCA\xA7\xB0\xDC:pipe.txt");
}

TEST(StringList, SetOperations)
{
    CStringList a;
    a.Add("Abc");
    EXPECT_EQ(a.IndexOf("abc"), -1);
    EXPECT_EQ(a.IndexOf("Abc"), 0);

    CStringList twice;
    twice.Add("x");
    twice.Add("x");
    twice.Add("y");
    CStringList unique;
    unique.AddAll(twice, true);
    EXPECT_EQ(unique.Count(), 2);
    unique.AddAll(unique, false);
    EXPECT_EQ(unique.Count(), 4);

    CStringList keep;
    keep.Add("y");
    unique.KeepCommon(keep);
    ASSERT_EQ(unique.Count(), 2);
    EXPECT_EQ(unique.At(0), "y");
    unique.RemoveCommon(keep);
    EXPECT_EQ(unique.Count(), 0);
    unique.RemoveAt(0);  // nothing on an empty list
    EXPECT_EQ(unique.Count(), 0);
}

TEST(StringList, SaveThenLoadRoundTrips)
{
    testutil::TempDir dir;
    testutil::ScopedCwd cwd(dir.Path());
    CStringList out;
    out.Add("first");
    out.Add("");
    out.Add("\xD6\xD0\xCE\xC4");
    ASSERT_TRUE(out.SaveToFile("saved.txt"));
    CStringList in;
    ASSERT_TRUE(in.LoadFromFile("saved.txt"));
    EXPECT_EQ(in.Items, out.Items);
    EXPECT_FALSE(out.SaveToFile("no_such_folder\\x.txt"));
}
