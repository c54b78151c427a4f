// The debug link under bursts larger than its socket holds, with a real viewer on port 8212
// reading between ticks of the real loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/winmain.h"
#include "foundation/debuglink.h"
#include "platform/seams.h"
#include "support/testutil.h"

namespace {

// Small socket buffers at both ends: the connection holds some tens of kilobytes unread.
constexpr int kSmallBuffer = 16 * 1024;
constexpr std::size_t kLongestText = 7 + 7500;

// Text i: "<", five digits, ":", a run of one letter whose length depends on i, ">". A cut, a gap
// or a reordering shows when the stream is read back.
std::string Text(int i)
{
    char head[8];
    std::snprintf(head, sizeof head, "<%05d:", i);
    return head + std::string(500 + static_cast<std::size_t>(i) * 7919 % 7000, static_cast<char>('a' + i % 26)) + ">";
}

// The numbers of the texts a stream holds, in order; false when it holds anything but whole texts.
bool ParseTexts(const std::string& stream, std::vector<int>& numbers)
{
    numbers.clear();
    for (std::size_t pos = 0; pos < stream.size(); pos += Text(numbers.back()).size()) {
        const int i = std::atoi(stream.substr(pos + 1, 5).c_str());
        if (stream.compare(pos, Text(i).size(), Text(i)) != 0) return false;
        numbers.push_back(i);
    }
    return true;
}

std::function<bool()> g_OnTick;  // true ends the loop

bool TickDisplay(float)
{
    if (g_OnTick()) PostQuitMessage(0);
    return true;
}

class DebugLinkTest : public testing::Test {
protected:
    testutil::LinkListener viewer{kSmallBuffer};
    std::optional<testutil::GlobalDebugLink> link;  // made once the socket's buffer is set
    DWORD now = 1000;

    void SetUp() override
    {
        ASSERT_LISTENING_OR_SKIP(viewer);
        platform::seams::ResetAll();
        platform::seams::SetSocketSendBuffer(kSmallBuffer);
        // Sleep advances the clock: ticks cost no real time.
        platform::seams::SetClock([this] { return now; });
        platform::seams::SetSleep([this](DWORD ms) { now += ms; });
        link.emplace();
        viewer.Receive(0);
        ASSERT_TRUE(viewer.Connected());
    }
    void TearDown() override
    {
        link.reset();
        platform::seams::ResetAll();
    }

    // Runs ticks while the viewer reads up to 16 KB between two of them, until a number of
    // ticks in a row brought nothing; returns all it read.
    std::string ReadOverTicks()
    {
        std::string received;
        int idle = 0;
        g_OnTick = [&] {
            const std::size_t before = received.size();
            received = viewer.Receive(before + 16 * 1024, 20);
            idle = received.size() == before ? idle + 1 : 0;
            return idle == 20;
        };
        RunMessageLoop(TickDisplay);
        g_OnTick = nullptr;
        return received;
    }
};

}  // namespace

// A burst, then a text larger than the queue holds (a text begun is finished whatever its size),
// then more than the queue holds while the viewer reads nothing: whole texts are dropped, oldest
// first.
TEST_F(DebugLinkTest, AViewerGetsWholeBurstsAndHugeTextsAndAFullQueueDropsWholeTextsOldestFirst)
{
    std::string sent;
    for (int i = 0; i < 250; ++i) {  // about 1 MB
        sent += Text(i);
        g_pDebugLink->Send(Text(i));
    }
    EXPECT_TRUE(ReadOverTicks() == sent);
    const std::string big(CDebugLink::kPendingLimit + 1000000, 'x');
    g_pDebugLink->Send(big);
    EXPECT_TRUE(ReadOverTicks() == sent + big);

    const int count = 1500;  // about 6 MB
    for (int i = 0; i < count; ++i) g_pDebugLink->Send(Text(i));
    std::vector<int> numbers;
    ASSERT_TRUE(ParseTexts(ReadOverTicks().substr(sent.size() + big.size()), numbers));
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ((std::pair{numbers.front(), numbers.back()}), (std::pair{0, count - 1}));
    EXPECT_TRUE(std::adjacent_find(numbers.begin(), numbers.end(), std::greater_equal<>()) == numbers.end())
        << "out of order, or twice";
    // The newest texts arrive without a gap, as many as a full queue holds.
    std::size_t newest = 0;
    for (std::size_t k = numbers.size(); k-- > 0 && numbers[k] == count - static_cast<int>(numbers.size() - k);)
        newest += Text(numbers[k]).size();
    EXPECT_LE(newest, CDebugLink::kPendingLimit);
    EXPECT_GT(newest, CDebugLink::kPendingLimit - 2 * kLongestText);
}
