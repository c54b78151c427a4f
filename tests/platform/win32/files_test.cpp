// The file layer's defences: wildcards that cannot backtrack, and files that are no data files
// (pipes, devices, folders, giants) refused at the open, the one place every reader passes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/win32.h"
#include "support/testutil.h"

namespace {

// The names FindFirstFileA gives for a pattern in `dir`, "." and ".." included.
std::vector<std::string> Matches(const testutil::TempDir& dir, const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir.WindowsPath() + "\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.emplace_back(data.cFileName);
    while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

}  // namespace

TEST(FileListing, WildcardsKeepWindowsRulesWithoutBacktracking)
{
    testutil::TempDir dir;
    const std::string longName(200, 'a');
    dir.Write(longName, "");
    dir.Write("NoExt", "");
    dir.Write("b.Wav", "");

    // Tried split by split, this pattern takes billions of steps on the long name before it fails.
    EXPECT_TRUE(Matches(dir, "*a*a*a*a*a*b").empty());
    EXPECT_EQ(GetLastError(), 2u);
    EXPECT_EQ(Matches(dir, "*a*a*a*a*a*"), std::vector<std::string>{longName});
    EXPECT_EQ(Matches(dir, std::string(199, '?') + "?"), std::vector<std::string>{longName});

    EXPECT_EQ(Matches(dir, "*.*").size(), 5u) << "every name, with and without a point, and . and ..";
    EXPECT_EQ(Matches(dir, "noext.*"), std::vector<std::string>{"NoExt"}) << "a trailing .* takes no extension";
    EXPECT_TRUE(Matches(dir, "noext?").empty()) << "? is one character, never none";
    EXPECT_EQ(Matches(dir, "?.W*V"), std::vector<std::string>{"b.Wav"});
}

TEST(DataFiles, OnlyRegularFilesWithinTheLimitOpenAndNoPipeIsWaitedOn)
{
    testutil::TempDir dir;
    testutil::ScopedCwd cwd(dir.Path());
    ASSERT_EQ(::mkfifo("pipe.txt", 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", "zero.txt"), 0);
    dir.MakeDir("folder.txt");
    dir.Write("giant.txt", "");
    std::filesystem::resize_file("giant.txt", platform::kMaxDataFileBytes + 1);  // sparse: nothing written
    dir.Write("small.txt", "data");

    std::string bytes = "old";
    for (const char* name : {"pipe.txt", "PIPE.TXT", "zero.txt", "folder.txt", "giant.txt"}) {
        EXPECT_EQ(platform::OpenFile(name, "rb"), nullptr) << name;
        EXPECT_FALSE(platform::ReadFileBytes(name, bytes)) << name;
        EXPECT_FALSE(platform::ReadTextFile(name, bytes)) << name;
    }
    // Nor is a pipe written to, or a device.
    EXPECT_EQ(platform::OpenFile("pipe.txt", "wb"), nullptr);
    EXPECT_EQ(platform::OpenFile("zero.txt", "wb"), nullptr);

    ASSERT_TRUE(platform::ReadFileBytes("SMALL.TXT", bytes));
    EXPECT_EQ(bytes, "data");
    std::FILE* made = platform::OpenFile("new.txt", "wb");
    ASSERT_NE(made, nullptr);
    std::fclose(made);
}
