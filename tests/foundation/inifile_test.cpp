#include <gtest/gtest.h>

#include "foundation/inifile.h"
#include "support/testutil.h"

namespace {

class IniFileTest : public testing::Test {
protected:
    testutil::TempDir dir;
    testutil::ScopedCwd cwd{dir.Path()};
    testutil::BoxCapture boxes;

    CIniFile Load(const std::string& content)
    {
        dir.Write("data.txt", content);
        return CIniFile("data.txt");
    }
};

}  // namespace

TEST_F(IniFileTest, SectionsAreFoundWithoutRegardToCase)
{
    CIniFile ini = Load("[Data]\nSpeed = 5 ; // fast\n");
    EXPECT_TRUE(ini.SelectSection("data"));
    EXPECT_EQ(ini.GetString("speed"), "5");
    EXPECT_TRUE(ini.SelectSection("DATA"));
    EXPECT_EQ(ini.GetInt("SPEED"), 5);
}

TEST_F(IniFileTest, DecoratedHeadersAreListedButNotSelectable)
{
    CIniFile ini = Load(" [Data]\nk=1\n[Other] // x\nk=2\n[]\n");
    CStringList names;
    ini.GetSectionNames(names);
    ASSERT_EQ(names.Count(), 3);
    EXPECT_EQ(names.At(0), "Data");
    EXPECT_EQ(names.At(1), "Other");
    EXPECT_EQ(names.At(2), "");
    EXPECT_FALSE(ini.SelectSection("Data"));
    CStringList lines;
    EXPECT_EQ(ini.GetSectionLines(lines, "Data"), 0);
    EXPECT_EQ(ini.GetSectionLines(lines, "Other"), 0);
}

TEST_F(IniFileTest, KeyLines)
{
    CIniFile ini = Load(
        "[s]\n"
        "url=a//b\n"
        "k=v=w\n"
        "dup=first\n"
        "Dup=second\n"
        "noequals\n"
        "  spaced  =  Mixed Case  \n"
        "[later]\n"
        "only=here\n");
    ini.SelectSection("s");
    EXPECT_EQ(ini.GetString("url"), "a");
    EXPECT_EQ(ini.GetString("k"), "v=w");
    EXPECT_EQ(ini.GetString("dup"), "first");
    EXPECT_EQ(ini.GetString("spaced"), "Mixed Case");
    EXPECT_EQ(ini.GetString("only"), "");
    EXPECT_EQ(ini.GetInt("absent"), 0);
    EXPECT_EQ(ini.GetFloat("absent"), 0.0f);
    EXPECT_EQ(ini.GetGlobalString("only"), "");
    EXPECT_EQ(ini.GetValue("only", "later"), "here");
}

TEST_F(IniFileTest, BracketsAnywhereEndASection)
{
    CIniFile ini = Load("[s]\na=1\nb=2\nlist=[1,2]\nc=3\n");
    ini.SelectSection("s");
    EXPECT_EQ(ini.GetString("b"), "2");
    EXPECT_EQ(ini.GetString("c"), "");
    CStringList lines;
    EXPECT_EQ(ini.GetSectionLines(lines, "s"), 2);
}

TEST_F(IniFileTest, SelectionState)
{
    CIniFile ini = Load("first=1\nsecond=2\n[a]\nx=1\n[b]\n[c]\n");
    // Before any selection only the first line is read.
    EXPECT_EQ(ini.GetString("first"), "1");
    EXPECT_EQ(ini.GetString("second"), "");
    EXPECT_EQ(ini.GetGlobalString("second"), "2");
    EXPECT_EQ(ini.GetGlobalString("x"), "");

    EXPECT_TRUE(ini.SelectSection("a"));
    EXPECT_EQ(ini.GetString("x"), "1");
    EXPECT_FALSE(ini.SelectSection("missing"));
    EXPECT_EQ(ini.GetString("x"), "");
    EXPECT_FALSE(ini.SelectSection("b"));  // empty section
    EXPECT_FALSE(ini.SelectSection("c"));  // header on the last line
    EXPECT_EQ(ini.GetString("x"), "");
}

TEST_F(IniFileTest, RawSectionLinesKeepEverything)
{
    CIniFile ini = Load("[script]\n  a := 1\n\n// comment\nwait(1)\n");
    CStringList lines;
    ASSERT_EQ(ini.GetSectionLines(lines, "SCRIPT"), 4);
    EXPECT_EQ(lines.At(0), "  a := 1");
    EXPECT_EQ(lines.At(1), "");
    EXPECT_EQ(lines.At(2), "// comment");
}

TEST_F(IniFileTest, MissingFileGivesAnEmptyReader)
{
    CIniFile ini("nothere.txt");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_FALSE(ini.SelectSection("any"));
    EXPECT_EQ(ini.GetString("k"), "");
    CStringList names;
    ini.GetSectionNames(names);
    EXPECT_EQ(names.Count(), 0);

    CIniFile none("");
    EXPECT_EQ(none.Lines.Count(), 0);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(IniFileTest, AppendSectionFrom)
{
    CIniFile source = Load("[keep]\nk=v\n");
    dir.Write("other.txt", "x=1\n");
    CIniFile target("other.txt");
    EXPECT_TRUE(target.AppendSectionFrom(source, "keep"));
    EXPECT_TRUE(target.AppendSectionFrom(source, "none"));
    ASSERT_EQ(target.Lines.Count(), 4);
    EXPECT_EQ(target.Lines.At(1), "[keep]");
    EXPECT_EQ(target.Lines.At(2), "k=v");
    EXPECT_EQ(target.Lines.At(3), "[none]");
}

// Every loader finds each section of its file by name. A file of 200,000 sections must load in
// time in proportion to its size: scanning the lines for every section takes several minutes,
// far past the test's timeout.
TEST_F(IniFileTest, ManySectionsAreEachFoundByName)
{
    constexpr int kSections = 200000;
    std::string content = "global=g\n";
    for (int i = 0; i < kSections; ++i)
        content += "[Sec" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    // The rules still hold at the far end: a later header of the same name (in another case)
    // loses, a decorated one cannot be selected, and a value holding both brackets ends a section.
    content += "[SEC0]\nk=late\n [tail]\nk=1\n[last]\nk=2\nlist=[1]\nafter=3\n";
    CIniFile ini = Load(content);

    CStringList names;
    ini.GetSectionNames(names);
    ASSERT_EQ(names.Count(), kSections + 3);
    int found = 0;
    for (int i = 0; i < kSections; ++i) {
        if (ini.SelectSection(names.At(i)) && ini.GetInt("K") == i)
            ++found;
    }
    EXPECT_EQ(found, kSections);
    EXPECT_TRUE(ini.SelectSection("sec0"));
    EXPECT_EQ(ini.GetString("k"), "0");
    EXPECT_FALSE(ini.SelectSection("tail"));
    EXPECT_TRUE(ini.SelectSection("LAST"));
    EXPECT_EQ(ini.GetString("after"), "");
    CStringList lines;
    EXPECT_EQ(ini.GetSectionLines(lines, "last"), 1);
    EXPECT_EQ(ini.GetSectionLines(lines, "Sec99999"), 1);
    EXPECT_EQ(ini.GetGlobalString("global"), "g");
}

// Lookups see lines appended to the reader and forget a file read again in its place.
TEST_F(IniFileTest, LookupsFollowAppendedAndReloadedLines)
{
    CIniFile source = Load("[keep]\nk=v\n[keep]\nk=second\n");
    dir.Write("other.txt", "[x]\nk=1\n");
    CIniFile target("other.txt");
    EXPECT_FALSE(target.SelectSection("keep"));
    target.AppendSectionFrom(source, "keep");
    target.AppendSectionFrom(source, "x");
    EXPECT_TRUE(target.SelectSection("KEEP"));
    EXPECT_EQ(target.GetString("k"), "v");
    EXPECT_EQ(target.FindSectionEnd(target.FindSection("keep")), 3);
    EXPECT_TRUE(target.SelectSection("x"));  // the first "[x]" wins over the appended one
    EXPECT_EQ(target.GetString("k"), "1");

    // Same number of lines, other headers.
    dir.Write("again.txt", "[y]\nk=2\n[z]\nk=3\n[w]\nq=1\n");
    target.Open("again.txt");
    EXPECT_FALSE(target.SelectSection("keep"));
    EXPECT_TRUE(target.SelectSection("z"));
    EXPECT_EQ(target.GetString("k"), "3");
    EXPECT_EQ(target.FindSectionEnd(target.Lines.Count()), target.Lines.Count() - 1);
}
