#include <gtest/gtest.h>

#include "bindings/gameframe.h"
#include "foundation/stringutil.h"
#include "media/sound.h"
#include "script/consttable.h"
#include "support/testutil.h"
#include "ui/keytable.h"

namespace {

class StartupTest : public testutil::ScratchFolderTest {
protected:
    void TearDown() override { GameCleanup(nullptr); }
};

}  // namespace

TEST_F(StartupTest, TheWorkingFolderBecomesTheRootAndTheMenuFolderIsLeftCurrent)
{
    testutil::WriteMinimalDataTree(dir);
    dir.Write("Global/game.txt", "[game]\nStartZ := 40\n");
    dir.Write("Global/Zeta.txt", "[game]\nStartZ := 1\n");
    ASSERT_TRUE(GameStartup(nullptr));
    // Of two tables of one name the first listed wins, in Windows' order: "game" before "Zeta".
    ASSERT_NE(g_ConstTableSet.FindTable("game")->Find("StartZ"), nullptr);
    EXPECT_EQ(g_ConstTableSet.FindTable("game")->Find("StartZ")->value, 40.0f);
    EXPECT_EQ(GetRootFolder(), dir.WindowsPath());
    EXPECT_EQ(g_CurrentFolder, dir.WindowsPath() + "\\menu");
    EXPECT_TRUE(g_KeyTable.enabled);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Only the readers' own reports, in start-up order: fonts, then the key table. A missing
// folder is not read in the root instead. A working folder past the old length limit is read
// whole.
TEST_F(StartupTest, MissingFilesAndFoldersDoNotStopStartUpInALongWorkingFolder)
{
    std::string rel = "a-folder-with-a-rather-long-name-to-pass-the-old-limit";
    for (int i = 0; i < 5; ++i) rel += "/a-folder-with-a-rather-long-name-to-pass-the-old-limit";
    testutil::WriteMinimalMenu(dir, rel);
    dir.Write(rel + "/click.wav", "not a wave");
    dir.Write(rel + "/Menu.txt", "[menu]\nx := 1\n");
    testutil::ScopedCwd inner(dir.Path() + "/" + rel);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(GameStartup(nullptr));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(boxes.Texts(), (testutil::Strings{"文件读取失败:GlobalFonts.txt", "文件读取失败:Control.txt"}));
    EXPECT_EQ(g_ConstTableSet.FindTable("menu"), nullptr) << "the root is no constant folder";
    EXPECT_EQ(g_SoundManager.FindSound("click"), nullptr) << "the root is no sound folder";
    EXPECT_GT(GetRootFolder().size(), 300u);
    EXPECT_EQ(g_CurrentFolder, GetRootFolder() + "\\menu");
}
