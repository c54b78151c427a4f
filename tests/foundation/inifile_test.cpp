#include <gtest/gtest.h>

#include "foundation/inifile.h"
#include "support/testutil.h"

namespace {

class IniFileTest : public testutil::ScratchFolderTest {
protected:
    CIniFile Load(const std::string& content)
    {
        dir.Write("data.txt", content);
        return CIniFile("data.txt");
    }
};

}  // namespace

TEST_F(IniFileTest, DecoratedHeadersAreListedButNotSelectable)
{
    CIniFile ini = Load(" [Data]\nk=1\n[Other] // x\nk=2\n[]\n");
    CStringList names;
    ini.GetSectionNames(names);
    EXPECT_EQ(names.Items, (std::vector<std::string>{"Data", "Other", ""}));
    EXPECT_FALSE(ini.SelectSection("Data"));
    CStringList lines;
    EXPECT_EQ(ini.GetSectionLines(lines, "Other"), 0);
}

TEST_F(IniFileTest, KeyLinesAreTrimmedAndTheFirstOfANameWins)
{
    CIniFile ini = Load(
        "[s]\n"
        "url=a//b\n"
        "k=v=w\n"
        "dup=first\n"
        "Dup=second\n"
        "noequals\n"
        "  spaced  =  Mixed Case ;  \n"
        "list=[1,2]\n"
        "cut=1\n"
        "[later]\n"
        "only=here ;\n");
    ini.SelectSection("S");
    EXPECT_EQ(ini.GetString("url"), "a");
    EXPECT_EQ(ini.GetString("k"), "v=w");
    EXPECT_EQ(ini.GetString("DUP"), "first");
    EXPECT_EQ(ini.GetString("spaced"), "Mixed Case");
    EXPECT_EQ(ini.GetString("cut"), "") << "a line holding both brackets ends the section";
    EXPECT_EQ(ini.GetString("only"), "");
    EXPECT_EQ(ini.GetFloat("absent"), 0.0f);
    EXPECT_EQ(ini.GetValue("only", "later"), "here ;");
}

TEST_F(IniFileTest, BeforeASelectionOnlyTheFirstLineIsReadAndEmptySectionsFail)
{
    CIniFile ini = Load("first=1\nsecond=2\n[a]\nx=1\n[b]\n[c]\n");
    // Before any selection only the first line is read; the file-wide keys end at a header.
    EXPECT_EQ(ini.GetString("first"), "1");
    EXPECT_EQ(ini.GetString("second"), "");
    EXPECT_EQ(ini.GetGlobalString("second"), "2");
    EXPECT_EQ(ini.GetGlobalString("x"), "");

    EXPECT_TRUE(ini.SelectSection("a"));
    EXPECT_FALSE(ini.SelectSection("missing"));
    EXPECT_EQ(ini.GetString("x"), "");
    EXPECT_FALSE(ini.SelectSection("b"));  // empty section
    EXPECT_FALSE(ini.SelectSection("c"));  // header on the last line
}

TEST_F(IniFileTest, RawSectionLinesKeepEverything)
{
    CIniFile ini = Load("[script]\n  a := 1\n\n// comment\nwait(1)\n");
    CStringList lines;
    ASSERT_EQ(ini.GetSectionLines(lines, "SCRIPT"), 4);
    EXPECT_EQ(lines.Items, (std::vector<std::string>{"  a := 1", "", "// comment", "wait(1)"}));
}

TEST_F(IniFileTest, MissingFileGivesAnEmptyReader)
{
    CIniFile ini("nothere.txt");
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_FALSE(ini.SelectSection("any"));
    EXPECT_EQ(ini.GetString("k"), "");
    CIniFile none("");
    EXPECT_EQ(none.Lines.Count(), 0);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

// Every loader finds each section of its file by name. A file of 200,000 sections must load in
// time in proportion to its size: scanning the lines for every section takes several minutes,
// far past the test's timeout.
TEST_F(IniFileTest, ManySectionsAreEachFoundByName)
{
    constexpr int kSections = 200000;
    std::string content;
    for (int i = 0; i < kSections; ++i)
        content += "[Sec" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    CIniFile ini = Load(content);
    CStringList names;
    ini.GetSectionNames(names);
    ASSERT_EQ(names.Count(), kSections);
    int found = 0;
    for (int i = 0; i < kSections; ++i) {
        if (ini.SelectSection(names.At(i)) && ini.GetInt("K") == i)
            ++found;
    }
    EXPECT_EQ(found, kSections);
}

// Lookups see lines appended to the reader and forget a file read again in its place.
TEST_F(IniFileTest, LookupsFollowAppendedAndReloadedLines)
{
    CIniFile source = Load("[keep]\nk=v\n[keep]\nk=second\n");
    dir.Write("other.txt", "[x]\nk=1\n");
    CIniFile target("other.txt");
    EXPECT_FALSE(target.SelectSection("keep"));
    EXPECT_TRUE(target.AppendSectionFrom(source, "keep"));
    target.AppendSectionFrom(source, "x");
    target.AppendSectionFrom(source, "none");  // a header alone
    EXPECT_EQ(target.Lines.Items,
              (std::vector<std::string>{"[x]", "k=1", "[keep]", "k=v", "[x]", "[none]"}));
    EXPECT_TRUE(target.SelectSection("KEEP"));
    EXPECT_EQ(target.GetString("k"), "v");
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
