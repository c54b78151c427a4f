#include <gtest/gtest.h>

#include "foundation/inifile.h"
#include "support/testutil.h"

using testutil::Strings;

namespace {

class IniFileTest : public testutil::ScratchFolderTest {
protected:
    CIniFile Load(const std::string& content)
    {
        dir.Write("data.txt", content);
        return CIniFile("data.txt");
    }
};

Strings LinesOf(const CTextLines& lines)
{
    Strings out;
    for (int i = 0; i < lines.Count(); ++i) out.emplace_back(lines.At(i));
    return out;
}

Strings Values(CIniFile& ini, std::initializer_list<const char*> keys, bool global = false)
{
    Strings out;
    for (const char* key : keys) out.push_back(global ? ini.GetGlobalString(key) : ini.GetString(key));
    return out;
}

}  // namespace

// Before any selection only the first line is read; the file-wide keys end at a header. Values
// are trimmed of spaces and comments; the first of a name wins; a line holding both brackets
// ends the section; a section without lines cannot be selected.
TEST_F(IniFileTest, KeyLinesAreTrimmedTheFirstOfANameWinsAndEmptySectionsFail)
{
    CIniFile ini = Load("first=1\nsecond=2\n[s]\nurl=a//b\nk=v=w\ndup=first\nDup=second\nnoequals\n"
                        "  spaced  =  Mixed Case ;  \nlist=[1,2]\ncut=1\n[later]\nonly=here ;\n[b]\n[c]\n");
    EXPECT_EQ(Values(ini, {"first", "second"}), (Strings{"1", ""}));
    EXPECT_EQ(Values(ini, {"second", "url"}, true), (Strings{"2", ""}));
    EXPECT_TRUE(ini.SelectSection("S"));
    EXPECT_EQ(Values(ini, {"url", "k", "DUP", "spaced", "cut", "only"}),
              (Strings{"a", "v=w", "first", "Mixed Case", "", ""}));
    EXPECT_EQ(ini.GetFloat("absent"), 0.0f);
    EXPECT_EQ(ini.GetValue("only", "later"), "here ;");
    EXPECT_FALSE(ini.SelectSection("missing"));
    EXPECT_EQ(ini.GetString("url"), "");
    EXPECT_FALSE(ini.SelectSection("b"));  // empty section
    EXPECT_FALSE(ini.SelectSection("c"));  // header on the last line
}

// Decorated headers are listed but cannot be selected; raw section lines keep everything.
TEST_F(IniFileTest, HeadersAndRawSectionLinesAndAMissingFileGivesAnEmptyReader)
{
    CIniFile ini = Load(" [Data]\nk=1\n[Other] // x\nk=2\n[]\n[script]\n  a := 1\n\n// comment\nwait(1)\n");
    CStringList names, lines;
    ini.GetSectionNames(names);
    EXPECT_EQ(names.Items, (Strings{"Data", "Other", "", "script"}));
    EXPECT_FALSE(ini.SelectSection("Data"));
    EXPECT_EQ(ini.GetSectionLines(lines, "Other"), 0);
    ASSERT_EQ(ini.GetSectionLines(lines, "SCRIPT"), 4);
    EXPECT_EQ(lines.Items, (Strings{"  a := 1", "", "// comment", "wait(1)"}));

    CIniFile missing("nothere.txt"), none("");
    EXPECT_FALSE(missing.SelectSection("any"));
    EXPECT_EQ(missing.GetString("k"), "");
    EXPECT_EQ(none.Lines.Count(), 0);
    EXPECT_EQ(boxes.Boxes().size(), 1u);  // an empty name is not reported
}

// Every loader finds each section of its file by name. A file of 200,000 sections must load in
// time in proportion to its size: scanning the lines for every section takes several minutes,
// far past the test's timeout.
TEST_F(IniFileTest, ManySectionsAreEachFoundByName)
{
    constexpr int kSections = 200000;
    std::string content;
    for (int i = 0; i < kSections; ++i) content += "[Sec" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    CIniFile ini = Load(content);
    CStringList names;
    ini.GetSectionNames(names);
    ASSERT_EQ(names.Count(), kSections);
    int found = 0;
    for (int i = 0; i < kSections; ++i) found += ini.SelectSection(names.At(i)) && ini.GetInt("K") == i;
    EXPECT_EQ(found, kSections);
}

// Lookups see lines appended to the reader (the first "[x]" wins over an appended one) and
// forget a file read again in its place.
TEST_F(IniFileTest, LookupsFollowAppendedAndReloadedLines)
{
    CIniFile source = Load("[keep]\nk=v\n[keep]\nk=second\n");
    dir.Write("other.txt", "[x]\nk=1\n");
    CIniFile target("other.txt");
    EXPECT_FALSE(target.SelectSection("keep"));
    EXPECT_TRUE(target.AppendSectionFrom(source, "keep"));
    target.AppendSectionFrom(source, "x");
    target.AppendSectionFrom(source, "none");  // a header alone
    EXPECT_EQ(LinesOf(target.Lines), (Strings{"[x]", "k=1", "[keep]", "k=v", "[x]", "[none]"}));
    EXPECT_EQ((Strings{target.GetValue("k", "KEEP"), target.GetValue("k", "x")}), (Strings{"v", "1"}));

    // Same number of lines, other headers.
    dir.Write("again.txt", "[y]\nk=2\n[z]\nk=3\n[w]\nq=1\n");
    target.Open("again.txt");
    EXPECT_EQ((Strings{target.GetValue("k", "keep"), target.GetValue("k", "z")}), (Strings{"", "3"}));
    EXPECT_EQ(target.FindSectionEnd(target.Lines.Count()), target.Lines.Count() - 1);
}

// Keys are indexed a section at a time: the first line of a key wins in any case, as written
// after trimming; going back to a section, setting the range by hand or opening another file in
// the same reader reads the lines as they now stand.
TEST_F(IniFileTest, IndexedKeysKeepTheRulesOfTheLines)
{
    CIniFile ini = Load("a=top\n[one]\nKey = first ;\n  key=second\n k e y = spaced\n=empty key\nother=1\n"
                        "\tx\t=\t// all comment\n[two]\nkey=two\nOTHER=2\nkey=again\n");
    EXPECT_EQ(ini.GetString("A"), "top");  // before any selection: the first line alone
    EXPECT_EQ(ini.GetString("key"), "");
    ini.SelectSection("one");
    EXPECT_EQ(Values(ini, {"KEY", "k e y", " key", "", "x", "Other"}), (Strings{"first", "spaced", "", "empty key", "", "1"}));
    ini.SelectSection("two");
    EXPECT_EQ(Values(ini, {"key", "other"}), (Strings{"two", "2"}));
    ini.SelectSection("ONE");
    EXPECT_EQ(ini.GetString("key"), "first");
    ini.nSectionStart = 3;  // from the second key line of "one" on
    EXPECT_EQ(Values(ini, {"key", "other", "a"}), (Strings{"second", "1", ""}));
    ini.nSectionEnd = 100;  // past the end of the file
    EXPECT_EQ(ini.GetString("OTHER"), "1");
    EXPECT_FALSE(ini.SelectSection("none"));
    EXPECT_EQ(ini.GetString("key"), "");
    ini.SelectSection("one");
    EXPECT_EQ(ini.GetString("key"), "first");

    // Lines 2 to 7 again, in another file.
    dir.Write("same.txt", "a=top\n[one]\nother=x\n\nkey=new\n\n\n\n[two]\n");
    ini.Open("same.txt");
    ini.SelectSection("one");
    EXPECT_EQ(Values(ini, {"key", "other", "k e y"}), (Strings{"new", "x", ""}));
}

// A file is held as its bytes and one offset a line, whatever its lines hold (a string a line
// would take some 45 times the size of a file of empty lines); a section can be appended to the
// reader that holds it.
TEST_F(IniFileTest, AFileOfEmptyLinesTakesASmallMultipleOfItsSizeAndSectionsAppendToTheirOwnReader)
{
    constexpr std::size_t kBytes = 4u << 20;
    dir.Write("empty.txt", std::string(kBytes, '\n'));
    const long before = testutil::ResidentBytes();
    CIniFile empty("empty.txt");
    EXPECT_EQ(empty.Lines.Count(), static_cast<int>(kBytes));
    EXPECT_EQ(empty.GetString("key"), "");
    EXPECT_LT(testutil::ResidentBytes() - before, static_cast<long>(8 * kBytes));

    CIniFile ini = Load("[keep]\nk=v\n\n[other]\nk=w");
    for (int i = 0; i < 3; ++i) ini.AppendSectionFrom(ini, i == 1 ? "other" : "keep");
    EXPECT_EQ(LinesOf(ini.Lines), (Strings{"[keep]", "k=v", "", "[other]", "k=w", "[keep]", "k=v", "", "[other]",
                                           "k=w", "[keep]", "k=v", ""}));
    ini.SelectSection("other");
    EXPECT_EQ(ini.GetString("k"), "w");
}
