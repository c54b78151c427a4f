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
    using platform::seams::SetKeyState;
    auto press = [&](bool down) {
        SetKeyState('A', down);
        return table.KeyPress('A');
    };
    // A disabled table reads nothing and remembers nothing; 65.9 is truncated to 65; a press is
    // spent once seen, and seen again after a release.
    std::vector<float> seen{press(true), table.KeyDown('A')};
    table.Enable();
    for (float r : {table.KeyDown('A'), table.KeyPress(65.9f), table.KeyPress('A'), press(false), press(true)})
        seen.push_back(r);
    EXPECT_EQ(seen, (std::vector<float>{0, 0, 1, 1, 0, 0, 1}));

    SetKeyState(VK_CAPITAL, false, true);  // the toggle bit alone is not down
    EXPECT_EQ(table.KeyDown(VK_CAPITAL), 0.0f);
    for (float code : {float{VK_CAPITAL}, -1.0f, 256.0f, 1e30f, -1e30f}) EXPECT_EQ(table.KeyPress(code), 0.0f) << code;
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
    table.Load("$\\Global\\Missing.txt");  // reported; the keys stay
    std::vector<int> keys;
    for (int i = 0; i < table.keys.Count(); ++i) keys.push_back(*table.keys.Get(i));
    EXPECT_EQ(keys, (std::vector<int>{37, 0, 0, 40}));
    EXPECT_EQ(g_CurrentFolder, root.WindowsPath() + "\\Global");
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}
