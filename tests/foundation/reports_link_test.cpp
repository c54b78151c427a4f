#include <gtest/gtest.h>

#include "foundation/debuglink.h"
#include "foundation/objectbase.h"
#include "support/testutil.h"

using ReportsTest = testutil::LinkTest;

TEST_F(ReportsTest, EveryReportReachesTheLinkByteForByteAndAClosedViewerDoesNotKillTheProgram)
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

    EXPECT_EQ(boxes.Captioned(),
              (testutil::Strings{"Unit|a", "UIManager:|b", "UIManager|warning:c", "global|d", "Unit|"}));

    // A viewer that has gone does not kill the program: without MSG_NOSIGNAL one of these would
    // raise SIGPIPE and end the test binary.
    listener.CloseConnection();
    for (int i = 0; i < 50; ++i) GlobalReport(std::string(4096, 'x'));
}

// No link at all, or a link with no viewer: only the boxes, and nothing printed.
TEST(ReportsWithoutViewer, OnlyTheBoxIsShown)
{
    testutil::BoxCapture boxes;
    ASSERT_EQ(g_pDebugLink, nullptr);
    GlobalError("no link");
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    {
        testutil::GlobalDebugLink link;
        GlobalReport("dropped");
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(boxes.Texts(), testutil::Strings{"no link"});
}
