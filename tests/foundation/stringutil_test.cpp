#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "foundation/stringlist.h"
#include "foundation/stringutil.h"
#include "platform/win32.h"
#include "support/testutil.h"

namespace {

// A scratch folder made the root and the process's current folder.
class PathsTest : public testutil::ScratchFolderTest {
protected:
    const std::string savedRoot = GetRootFolder();
    void SetUp() override { SetRootFolder(dir.WindowsPath()); }
    void TearDown() override { SetRootFolder(savedRoot); }

    std::string ProcessFolder()
    {
        char buffer[4096];
        GetCurrentDirectoryA(sizeof buffer, buffer);
        return buffer;
    }
};

}  // namespace

TEST(Paths, DollarIsTheRootAndOnlyABackslashPastTheStartSeparates)
{
    const std::string saved = GetRootFolder();
    SetRootFolder("C:\\game");
    EXPECT_EQ(ResolvePath("$\\sound"), "C:\\game\\sound");
    EXPECT_EQ(ResolvePath("$menu"), "C:\\gamemenu");
    EXPECT_EQ(ResolvePath("rel\\$x.txt"), "rel\\$x.txt");
    SetRootFolder(saved);

    EXPECT_EQ(FolderOf("\\file.txt"), "");  // a backslash at the start separates nothing
    EXPECT_EQ(FileNameOf("\\file.txt"), "\\file.txt");
    EXPECT_EQ(FolderOf("a\\b\\c.txt"), "a\\b");
    EXPECT_EQ(FileNameOf("a\\b\\c.txt"), "c.txt");
    EXPECT_EQ(FolderOf("a/b.txt"), "");  // "/" is no separator
    EXPECT_EQ(StripExtension("unit.data.txt"), "unit");
}

TEST_F(PathsTest, SetCurrentFolderResolvesAndMovesWhereItCan)
{
    dir.MakeDir("Menu");
    // Lower-cased names still reach the folder as it is written on disk.
    EXPECT_EQ(SetCurrentFolder("$\\menu"), dir.WindowsPath() + "\\menu");
    EXPECT_EQ(ProcessFolder(), dir.WindowsPath() + "\\Menu");
    // A missing folder still becomes the current folder's name; the process stays put.
    EXPECT_EQ(SetCurrentFolder("$\\nowhere"), dir.WindowsPath() + "\\nowhere");
    EXPECT_EQ(ProcessFolder(), dir.WindowsPath() + "\\Menu");
}

TEST_F(PathsTest, ListFilesInWindowsOrder)
{
    for (const char* name : {"b.TXT", "a_b.txt", "Zeta.txt", "ab.txt", "c.wav"})
        dir.Write(name, "");
    dir.MakeDir("sub");

    CStringList all;
    ASSERT_TRUE(ListFiles(all, ""));
    EXPECT_EQ(all.Count(), 6);  // folders too, never "." or ".."
    // The names upper-cased, so "_" comes after every letter, and case does not put "Zeta" first.
    CStringList txt;
    txt.Add("kept");
    ASSERT_TRUE(ListFiles(txt, "*.txt"));  // appends
    EXPECT_EQ(txt.Items, (std::vector<std::string>{"kept", "ab.txt", "a_b.txt", "b.TXT", "Zeta.txt"}));
    CStringList wav;
    ASSERT_TRUE(ListFiles(wav, dir.WindowsPath() + "\\?.WAV"));
    EXPECT_EQ(wav.Items, std::vector<std::string>{"c.wav"});

    testing::internal::CaptureStdout();
    CStringList none;
    EXPECT_FALSE(ListFiles(none, "*.bmp"));
    EXPECT_FALSE(ListFiles(none, "missing\\*.txt"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Invalid File Handle. GetLastError reports 2\n"
              "Invalid File Handle. GetLastError reports 3\n");
    EXPECT_EQ(none.Count(), 0);
}

TEST_F(PathsTest, ListFolderListsNothingWhereItCannotEnter)
{
    dir.Write("root.txt", "");
    dir.Write("Global/game.txt", "");
    CStringList out;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ListFolder(out, "$\\nowhere", "*.txt"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Invalid File Handle. GetLastError reports 3\n");
    EXPECT_EQ(out.Count(), 0) << "nothing of the folder the process stayed in";
    EXPECT_EQ(g_CurrentFolder, dir.WindowsPath() + "\\nowhere");

    EXPECT_TRUE(ListFolder(out, "$\\global", "*.txt"));
    EXPECT_EQ(out.Items, std::vector<std::string>{"game.txt"});
}

TEST(Strings, TrimsCutCommentsAndLowerCaseIsBytewise)
{
    EXPECT_EQ(Trim("  key = value ; // note"), "key = value");
    EXPECT_EQ(TrimValue("  key = value ; // note"), "key = value ;");
    EXPECT_EQ(Trim("\t;;"), ";");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("// all comment"), "");
    EXPECT_EQ(Trim("a//b"), "a");
    // 0x80 and above untouched; an ASCII capital as a GBK trail byte is still lowered.
    EXPECT_EQ(ToLower("AZ\xD6\xD0\x81\x41"), "az\xD6\xD0\x81\x61");
}

TEST(Strings, NumbersAreReadAsAStringStreamReadsThem)
{
    EXPECT_EQ(StringToInt("12abc"), 12);
    EXPECT_EQ(StringToInt("12.7"), 12);
    EXPECT_EQ(StringToInt("0x10"), 0);
    EXPECT_EQ(StringToInt("abc"), 0);
    // Whichever way a text is read, the float is the one a string stream reads.
    for (const char* text : {"2.5e2x", " -0.5", "speed", "0.1", "16777217", "-0", "1.", ".5", "1.2.3", "\t 7",
                             "1e", "1e3", "+3", "-", ".", "340282356779733661637539395458142568448",
                             "0.00000000000000000000000000000000000000000001"}) {
        std::istringstream in(text);
        float expected = 0.0f;
        in >> expected;
        float value = StringToFloat(text);
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;
    }
    EXPECT_EQ(FloatToString(1.5f), "1.500000");
    EXPECT_EQ(FloatToString(-3.4028235e38f).size(), 47u);
}

TEST(Strings, HexColoursReadEightDigitsAtMost)
{
    EXPECT_EQ(HexToUInt("ff00FF00"), 0xFF00FF00u);
    EXPECT_EQ(HexToUInt("123456789"), 0u);  // more than eight digits
    EXPECT_EQ(HexToUInt("00FF00"), 0x0000FF00u);
    EXPECT_EQ(HexToUInt("0xFF"), 0xFFu);  // "x" counts as a 0 digit
    EXPECT_EQ(HexToUInt("#FFFFFF"), 0x0FFFFFFu);
}
