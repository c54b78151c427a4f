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
    const TConst* startZ = g_ConstTableSet.FindTable("game")->Find("StartZ");
    ASSERT_NE(startZ, nullptr);
    EXPECT_EQ(startZ->value, 40.0f);
    EXPECT_EQ(GetRootFolder(), dir.WindowsPath());
    EXPECT_EQ(g_CurrentFolder, dir.WindowsPath() + "\\menu");
    EXPECT_TRUE(g_KeyTable.enabled);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Only the readers' own reports, in start-up order: fonts, then the key table. A missing
// folder is not read in the root instead.
TEST_F(StartupTest, MissingFilesAndFoldersDoNotStopStartUp)
{
    testutil::WriteMinimalMenu(dir);
    dir.Write("click.wav", "not a wave");
    dir.Write("Menu.txt", "[menu]\nx := 1\n");
    testing::internal::CaptureStdout();
    ASSERT_TRUE(GameStartup(nullptr));
    testing::internal::GetCapturedStdout();
    const std::string failed = "\xCE\xC4\xBC\xFE\xB6\xC1\xC8\xA1\xCA\xA7\xB0\xDC:";
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, failed + "GlobalFonts.txt");
    EXPECT_EQ(boxes.Boxes()[1].text, failed + "Control.txt");
    EXPECT_EQ(g_ConstTableSet.FindTable("menu"), nullptr) << "the root is no constant folder";
    EXPECT_EQ(g_SoundManager.FindSound("click"), nullptr) << "the root is no sound folder";
}

TEST_F(StartupTest, LongWorkingFolderIsReadWhole)
{
    std::string deep = "a-folder-with-a-rather-long-name-to-pass-the-old-limit";
    std::string rel;
    for (int i = 0; i < 6; ++i)
        rel += (i ? "/" : "") + deep;
    dir.Write(rel + "/Global/Control.txt", "[keys]\nx=1\n");
    testutil::WriteMinimalMenu(dir, rel);
    testutil::ScopedCwd inner(dir.Path() + "/" + rel);
    ASSERT_TRUE(GameStartup(nullptr));
    EXPECT_GT(GetRootFolder().size(), 300u);
    EXPECT_EQ(g_CurrentFolder, GetRootFolder() + "\\menu");
}
