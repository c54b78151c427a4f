#include <gtest/gtest.h>

#include "foundation/stringutil.h"
#include "platform/seams.h"
#include "support/testutil.h"
#include "ui/keytable.h"

namespace {

class KeyTableTest : public testing::Test {
protected:
    CKeyTable table;
    void SetUp() override { platform::seams::ResetAll(); }
    void TearDown() override { platform::seams::ResetAll(); }
};

}  // namespace

TEST_F(KeyTableTest, PressIsSeenOncePerPressAndDownDoesNotConsumeIt)
{
    platform::seams::SetKeyState('A', true);
    EXPECT_EQ(table.KeyDown('A'), 0.0f) << "a disabled table reads nothing and remembers nothing";
    EXPECT_EQ(table.KeyPress('A'), 0.0f);
    table.Enable();
    EXPECT_EQ(table.KeyDown('A'), 1.0f);
    EXPECT_EQ(table.KeyPress(65.9f), 1.0f);  // truncated to 65
    EXPECT_EQ(table.KeyPress('A'), 0.0f);    // the edge is spent
    platform::seams::SetKeyState('A', false);
    EXPECT_EQ(table.KeyPress('A'), 0.0f);
    platform::seams::SetKeyState('A', true);
    EXPECT_EQ(table.KeyPress('A'), 1.0f);

    platform::seams::SetKeyState(VK_CAPITAL, false, true);  // the toggle bit alone is not down
    EXPECT_EQ(table.KeyDown(VK_CAPITAL), 0.0f);
    EXPECT_EQ(table.KeyPress(VK_CAPITAL), 0.0f);
    for (float code : {-1.0f, 256.0f, 1e30f, -1e30f})
        EXPECT_EQ(table.KeyPress(code), 0.0f) << code;
    EXPECT_EQ(table.KeyDown(1e30f), 0.0f);
}

TEST_F(KeyTableTest, LoadReadsEveryRawLineOfTheKeysSection)
{
    testutil::TempDir root;
    testutil::ScopedCwd cwd(root.Path());
    testutil::BoxCapture boxes;
    root.Write("Global/Control.txt", "[keys]\nleft=37\n\n// comment\n40\n[other]\nx=1\n");
    SetRootFolder(root.WindowsPath());
    table.Load("$\\Global\\Control.txt");
    ASSERT_EQ(table.keys.Count(), 4);
    EXPECT_EQ(*table.keys.Get(0), 37);
    EXPECT_EQ(*table.keys.Get(1), 0);
    EXPECT_EQ(*table.keys.Get(3), 40);
    EXPECT_EQ(g_CurrentFolder, root.WindowsPath() + "\\Global");

    table.Load("$\\Global\\Missing.txt");
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(table.keys.Count(), 4);
}
