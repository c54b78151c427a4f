#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "foundation/stringlist.h"
#include "foundation/stringutil.h"
#include "platform/win32.h"
#include "support/testutil.h"

TEST(Paths, RootResolution)
{
    std::string saved = GetRootFolder();
    SetRootFolder("C:\\game");
    EXPECT_EQ(ResolvePath("$"), "C:\\game");
    EXPECT_EQ(ResolvePath("$\\sound"), "C:\\game\\sound");
    EXPECT_EQ(ResolvePath("$menu"), "C:\\gamemenu");
    EXPECT_EQ(ResolvePath(""), "");
    EXPECT_EQ(ResolvePath("rel\\x.txt"), "rel\\x.txt");
    SetRootFolder(saved);
}

TEST(Paths, Pieces)
{
    EXPECT_EQ(FolderOf("\\file.txt"), "");
    EXPECT_EQ(FileNameOf("\\file.txt"), "\\file.txt");
    EXPECT_EQ(FolderOf("a\\b\\c.txt"), "a\\b");
    EXPECT_EQ(FileNameOf("a\\b\\c.txt"), "c.txt");
    EXPECT_EQ(FolderOf("plain.txt"), "");
    EXPECT_EQ(FileNameOf("plain.txt"), "plain.txt");
    EXPECT_EQ(FolderOf("a/b.txt"), "");  // "/" is no separator
    EXPECT_EQ(StripExtension("unit.data.txt"), "unit");
    EXPECT_EQ(StripExtension("noext"), "noext");
}

TEST(Paths, SetCurrentFolderResolvesAndMoves)
{
    testutil::TempDir dir;
    dir.MakeDir("Menu");
    std::string saved = GetRootFolder();
    testutil::ScopedCwd cwd(dir.Path());
    SetRootFolder(dir.WindowsPath());
    // Lower-cased names still reach the folder as it is written on disk.
    EXPECT_EQ(SetCurrentFolder("$\\menu"), dir.WindowsPath() + "\\menu");
    char buffer[4096];
    GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer), dir.WindowsPath() + "\\Menu");
    // A missing folder still becomes the current folder's name; the process stays put.
    EXPECT_EQ(SetCurrentFolder("$\\nowhere"), dir.WindowsPath() + "\\nowhere");
    GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer), dir.WindowsPath() + "\\Menu");
    SetRootFolder(saved);
}

TEST(Paths, ListFiles)
{
    testutil::TempDir dir;
    testutil::ScopedCwd cwd(dir.Path());
    dir.Write("b.TXT", "");
    dir.Write("a_b.txt", "");
    dir.Write("Zeta.txt", "");
    dir.Write("ab.txt", "");
    dir.Write("c.wav", "");
    dir.MakeDir("sub");

    CStringList out;
    ASSERT_TRUE(ListFiles(out, ""));
    EXPECT_EQ(out.Count(), 6);  // folders too, never "." or ".."
    EXPECT_EQ(out.IndexOf("."), -1);
    EXPECT_EQ(out.IndexOf(".."), -1);

    // Windows' order: the names upper-cased, so "_" comes after every letter, and case does
    // not put "Zeta" first.
    CStringList txt;
    ASSERT_TRUE(ListFiles(txt, "*.txt"));
    ASSERT_TRUE(ListFiles(txt, "*.txt"));  // appends
    ASSERT_EQ(txt.Count(), 8);
    EXPECT_EQ(txt.Items, (std::vector<std::string>{"ab.txt", "a_b.txt", "b.TXT", "Zeta.txt", "ab.txt", "a_b.txt",
                                                    "b.TXT", "Zeta.txt"}));

    CStringList sub;
    ASSERT_TRUE(ListFiles(sub, dir.WindowsPath() + "\\?.WAV"));
    ASSERT_EQ(sub.Count(), 1);
    EXPECT_EQ(sub.At(0), "c.wav");

    testing::internal::CaptureStdout();
    CStringList none;
    EXPECT_FALSE(ListFiles(none, "*.bmp"));
    EXPECT_FALSE(ListFiles(none, "missing\\*.txt"));
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed,
              "Invalid File Handle. GetLastError reports 2\n"
              "Invalid File Handle. GetLastError reports 3\n");
    EXPECT_EQ(none.Count(), 0);
}

TEST(Paths, ListFolderListsNothingWhereItCannotEnter)
{
    testutil::TempDir dir;
    dir.Write("root.txt", "");
    dir.Write("Global/game.txt", "");
    testutil::ScopedCwd cwd(dir.Path());
    const std::string saved = GetRootFolder();
    SetRootFolder(dir.WindowsPath());

    CStringList out;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ListFolder(out, "$\\nowhere", "*.txt"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Invalid File Handle. GetLastError reports 3\n");
    EXPECT_EQ(out.Count(), 0) << "nothing of the folder the process stayed in";
    EXPECT_EQ(g_CurrentFolder, dir.WindowsPath() + "\\nowhere");

    EXPECT_TRUE(ListFolder(out, "$\\global", "*.txt"));
    EXPECT_EQ(out.Items, std::vector<std::string>{"game.txt"});
    SetRootFolder(saved);
}

TEST(Strings, Trims)
{
    EXPECT_EQ(Trim("  key = value ; // note"), "key = value");
    EXPECT_EQ(TrimValue("  key = value ; // note"), "key = value ;");
    EXPECT_EQ(Trim("\t;;"), ";");
    EXPECT_EQ(Trim(";"), ";");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("// all comment"), "");
    EXPECT_EQ(Trim("a//b"), "a");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(TrimValue("\tx\t "), "x");
}

TEST(Strings, LowerCaseIsBytewise)
{
    EXPECT_EQ(ToLower("ABC xyz 09"), "abc xyz 09");
    // 0x80 and above untouched; an ASCII capital as a GBK trail byte is still lowered.
    EXPECT_EQ(ToLower("\xD6\xD0\x81\x41"), "\xD6\xD0\x81\x61");
}

TEST(Strings, Numbers)
{
    EXPECT_EQ(StringToInt("12abc"), 12);
    EXPECT_EQ(StringToInt("  -7"), -7);
    EXPECT_EQ(StringToInt("12.7"), 12);
    EXPECT_EQ(StringToInt("0x10"), 0);
    EXPECT_EQ(StringToInt(""), 0);
    EXPECT_EQ(StringToInt("abc"), 0);
    EXPECT_FLOAT_EQ(StringToFloat("2.5e2x"), 250.0f);
    EXPECT_FLOAT_EQ(StringToFloat(" -0.5"), -0.5f);
    EXPECT_EQ(StringToFloat("speed"), 0.0f);
    // Whichever way a text is read, the float is the one a string stream reads.
    for (const char* text : {"0.1", "16777217", "-0", "1.", ".5", "1.2.3", "\t 7", "1e", "1e3", "+3", "-", ".",
                             "340282356779733661637539395458142568448", "0.00000000000000000000000000000000000000000001"}) {
        std::istringstream in(text);
        float expected = 0.0f;
        in >> expected;
        float value = StringToFloat(text);
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;
    }
    EXPECT_EQ(IntToString(-42), "-42");
    EXPECT_EQ(FloatToString(1.5f), "1.500000");
    EXPECT_EQ(FloatToString(-3.4028235e38f).size(), 47u);
}

TEST(Strings, HexColours)
{
    EXPECT_EQ(HexToUInt("FF00FF00"), 0xFF00FF00u);
    EXPECT_EQ(HexToUInt("ff00ff00"), 0xFF00FF00u);
    EXPECT_EQ(HexToUInt("123456789"), 0u);
    EXPECT_EQ(HexToUInt(""), 0u);
    EXPECT_EQ(HexToUInt("00FF00"), 0x0000FF00u);
    EXPECT_EQ(HexToUInt("0xFF"), 0xFFu);  // "x" counts as a 0 digit
    EXPECT_EQ(HexToUInt("#FFFFFF"), 0x0FFFFFFu);
    EXPECT_EQ(HexDigit('g'), 0);
}
