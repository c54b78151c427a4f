#include <gtest/gtest.h>

#include "foundation/debuglink.h"
#include "foundation/objectbase.h"
#include "support/testutil.h"

namespace {

// A link connected to a real listener for the duration of a test.
class ReportsTest : public testing::Test {
protected:
    testutil::LinkListener listener;
    testutil::BoxCapture boxes;

    void SetUp() override
    {
        ASSERT_LISTENING_OR_SKIP(listener);
        g_pDebugLink = new CDebugLink(nullptr);
        g_pDebugLink->Connect();
    }
    void TearDown() override
    {
        delete g_pDebugLink;
        g_pDebugLink = nullptr;
    }
};

}  // namespace

TEST_F(ReportsTest, EveryReportReachesTheLinkByteForByte)
{
    CObject object;
    object.strClassName = "Unit";
    CNamedObject named;
    named.strClassName = "UIManager";

    object.Error("a");
    named.Error("b");
    named.Warning("c", 0);
    GlobalError("d");
    GlobalReport("e");
    GlobalReport("");  // sends nothing
    GlobalReport("\xD6\xD0\xCE\xC4");  // GBK stays GBK

    std::string expected = "abwarning:cde\xD6\xD0\xCE\xC4";
    EXPECT_EQ(listener.Receive(expected.size()), expected);

    ASSERT_EQ(boxes.Boxes().size(), 4u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Unit");
    EXPECT_EQ(boxes.Boxes()[1].caption, "UIManager:");
    EXPECT_EQ(boxes.Boxes()[2].caption, "UIManager");
    EXPECT_EQ(boxes.Boxes()[2].text, "warning:c");
    EXPECT_EQ(boxes.Boxes()[3].caption, "global");
    EXPECT_EQ(boxes.Boxes()[3].text, "d");
}

TEST_F(ReportsTest, ChineseLiteralIsSentAsGbk)
{
    GlobalReport("文件读取失败:");
    std::string gbk = "\xCE\xC4\xBC\xFE\xB6\xC1\xC8\xA1\xCA\xA7\xB0\xDC:";
    EXPECT_EQ(listener.Receive(gbk.size()), gbk);
}

TEST_F(ReportsTest, EmptyErrorStillShowsItsBox)
{
    CObject object;
    object.Error("");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "");
    GlobalReport("x");
    EXPECT_EQ(listener.Receive(1), "x");
}

TEST_F(ReportsTest, ClosedViewerDoesNotKillTheProgram)
{
    GlobalReport("first");
    EXPECT_EQ(listener.Receive(5), "first");
    listener.CloseConnection();
    // Without MSG_NOSIGNAL one of these would raise SIGPIPE and end the test binary.
    for (int i = 0; i < 50; ++i)
        GlobalReport(std::string(4096, 'x'));
    SUCCEED();
}

TEST(ReportsWithoutLink, OnlyTheBoxIsShown)
{
    testutil::BoxCapture boxes;
    ASSERT_EQ(g_pDebugLink, nullptr);
    GlobalError("no link");
    GlobalReport("nowhere");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "no link");
}

TEST(ReportsWithoutListener, LinkFailsSilently)
{
    testutil::BoxCapture boxes;
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    g_pDebugLink = new CDebugLink(nullptr);
    g_pDebugLink->Connect();
    GlobalReport("dropped");
    delete g_pDebugLink;
    g_pDebugLink = nullptr;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(boxes.Boxes().empty());
}
