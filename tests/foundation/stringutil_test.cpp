#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "foundation/stringlist.h"
#include "foundation/stringutil.h"
#include "support/testutil.h"

using testutil::Strings;

namespace {

// A scratch folder made the root and the process's current folder.
class PathsTest : public testutil::ScratchFolderTest {
protected:
    const std::string savedRoot = GetRootFolder();
    void SetUp() override { SetRootFolder(dir.WindowsPath()); }
    void TearDown() override { SetRootFolder(savedRoot); }
};

// Each text through a function, to compare whole.
template <typename Function>
auto Each(Function f, std::initializer_list<const char*> texts)
{
    std::vector<std::decay_t<decltype(f(""))>> out;
    for (const char* t : texts) out.push_back(f(t));
    return out;
}

}  // namespace

// "$" is the root; only a backslash past the start separates, and "/" never does. Lower-cased
// names still reach the folder as it is written on disk; a missing folder still becomes the
// current folder's name while the process stays put.
TEST_F(PathsTest, DollarIsTheRootAndSetCurrentFolderMovesWhereItCan)
{
    const std::string root = dir.WindowsPath();
    EXPECT_EQ(Each(ResolvePath, {"$\\sound", "$menu", "rel\\$x.txt"}),
              (Strings{root + "\\sound", root + "menu", "rel\\$x.txt"}));
    EXPECT_EQ(Each(FolderOf, {"\\file.txt", "a\\b\\c.txt", "a/b.txt"}), (Strings{"", "a\\b", ""}));
    EXPECT_EQ(Each(FileNameOf, {"\\file.txt", "a\\b\\c.txt"}), (Strings{"\\file.txt", "c.txt"}));
    EXPECT_EQ(StripExtension("unit.data.txt"), "unit");

    dir.MakeDir("Menu");
    EXPECT_EQ(SetCurrentFolder("$\\menu"), root + "\\menu");
    EXPECT_EQ(std::filesystem::current_path(), dir.Path() + "/Menu");
    EXPECT_EQ(SetCurrentFolder("$\\nowhere"), root + "\\nowhere");
    EXPECT_EQ(std::filesystem::current_path(), dir.Path() + "/Menu");
}

// Folders are listed too, never "." or ".."; the order is of the names upper-cased, so "_"
// comes after every letter and case does not put "Zeta" first; a listing appends. A loader's
// listing of a folder it cannot enter is empty; of no folder, the current one.
TEST_F(PathsTest, ListFilesInWindowsOrderAndListFolderNothingWhereItCannotEnter)
{
    for (const char* name : {"b.TXT", "a_b.txt", "Zeta.txt", "ab.txt", "c.wav", "Global/game.txt"}) dir.Write(name, "");
    CStringList all, txt, wav, none;
    ASSERT_TRUE(ListFiles(all, ""));
    EXPECT_EQ(all.Count(), 6);
    txt.Add("kept");
    ASSERT_TRUE(ListFiles(txt, "*.txt"));
    EXPECT_EQ(txt.Items, (Strings{"kept", "ab.txt", "a_b.txt", "b.TXT", "Zeta.txt"}));
    ASSERT_TRUE(ListFiles(wav, dir.WindowsPath() + "\\?.WAV"));
    EXPECT_EQ(wav.Items, Strings{"c.wav"});

    // A folder that cannot be entered lists nothing, not the files of the folder it stayed in.
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ListFiles(none, "*.bmp"));
    EXPECT_FALSE(ListFiles(none, "missing\\*.txt"));
    EXPECT_FALSE(ListFolder(none, "$\\nowhere", "*.txt"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Invalid File Handle. GetLastError reports 2\n"
                                                      "Invalid File Handle. GetLastError reports 3\n"
                                                      "Invalid File Handle. GetLastError reports 3\n");
    EXPECT_EQ(none.Count(), 0);
    EXPECT_EQ(g_CurrentFolder, dir.WindowsPath() + "\\nowhere");
    EXPECT_TRUE(ListFolder(none, "$\\global", "*.txt"));
    EXPECT_EQ(none.Items, Strings{"game.txt"});
    // An empty folder text: the process stays where the last loader left it, and lists there.
    EXPECT_TRUE(ListFolder(none, "", "*.txt"));
    EXPECT_EQ(std::make_pair(none.Items, g_CurrentFolder),
              std::make_pair(Strings{"game.txt", "game.txt"}, std::string()));
}

// Trim cuts comments and a trailing ";", TrimValue keeps the ";"; lower case is bytewise: 0x80
// and above untouched, an ASCII capital as a GBK trail byte still lowered.
TEST(Strings, TrimsCutCommentsAndLowerCaseIsBytewise)
{
    EXPECT_EQ(Each(Trim, {"  key = value ; // note", "\t;;", "   ", "// all comment", "a//b"}),
              (Strings{"key = value", ";", "", "", "a"}));
    EXPECT_EQ(TrimValue("  key = value ; // note"), "key = value ;");
    EXPECT_EQ(ToLower("AZ\xD6\xD0\x81\x41"), "az\xD6\xD0\x81\x61");
}

// Whichever way a text is read, the number is the one a string stream reads.
TEST(Strings, NumbersAreReadAsAStringStreamReadsThemAndHexColoursAsEightDigitsAtMost)
{
    EXPECT_EQ(Each(StringToInt, {"12abc", "12.7", "0x10", "abc"}), (std::vector{12, 12, 0, 0}));
    for (const char* text : {"2.5e2x", " -0.5", "speed", "0.1", "16777217", "-0", "1.", ".5", "1.2.3", "\t 7",
                             "1e", "1e3", "+3", "-", ".", "340282356779733661637539395458142568448",
                             "0.00000000000000000000000000000000000000000001"}) {
        std::istringstream in(text);
        float expected = 0.0f;
        in >> expected;
        const float value = StringToFloat(text);
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;
    }
    EXPECT_EQ(FloatToString(1.5f), "1.500000");
    EXPECT_EQ(FloatToString(-3.4028235e38f).size(), 47u);

    // Hex colours: eight digits at most (more give 0); fewer are the low digits; "x" counts as a
    // 0 digit.
    EXPECT_EQ(Each(HexToUInt, {"ff00FF00", "123456789", "00FF00", "0xFF", "#FFFFFF"}),
              (std::vector{0xFF00FF00u, 0u, 0x0000FF00u, 0xFFu, 0x0FFFFFFu}));
}
