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
    object.Error("");  // sends nothing, still shows its box
    GlobalReport("e");
    GlobalReport("文件");  // a UTF-8 literal in the source is GBK in the program

    const std::string expected = "abwarning:cde\xCE\xC4\xBC\xFE";
    EXPECT_EQ(listener.Receive(expected.size()), expected);

    ASSERT_EQ(boxes.Boxes().size(), 5u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Unit");
    EXPECT_EQ(boxes.Boxes()[1].caption, "UIManager:");
    EXPECT_EQ(boxes.Boxes()[2].caption, "UIManager");
    EXPECT_EQ(boxes.Boxes()[2].text, "warning:c");
    EXPECT_EQ(boxes.Boxes()[3].caption, "global");
    EXPECT_EQ(boxes.Boxes()[3].text, "d");
    EXPECT_EQ(boxes.Boxes()[4].text, "");
}

TEST_F(ReportsTest, ClosedViewerDoesNotKillTheProgram)
{
    GlobalReport("first");
    EXPECT_EQ(listener.Receive(5), "first");
    listener.CloseConnection();
    // Without MSG_NOSIGNAL one of these would raise SIGPIPE and end the test binary.
    for (int i = 0; i < 50; ++i)
        GlobalReport(std::string(4096, 'x'));
}

// No link at all, or a link with no viewer: only the boxes, and nothing printed.
TEST(ReportsWithoutViewer, OnlyTheBoxIsShown)
{
    testutil::BoxCapture boxes;
    ASSERT_EQ(g_pDebugLink, nullptr);
    GlobalError("no link");
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    g_pDebugLink = new CDebugLink(nullptr);
    g_pDebugLink->Connect();
    GlobalReport("dropped");
    delete g_pDebugLink;
    g_pDebugLink = nullptr;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "no link");
}
