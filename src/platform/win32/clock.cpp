// The tick clock (WinMM's timeGetTime) and Sleep, both replaceable by tests.
#include <chrono>
#include <thread>

#include "platform/seams.h"

namespace {

std::function<DWORD()> g_Clock;
std::function<void(DWORD)> g_Sleep;

}  // namespace

// Milliseconds of the monotonic clock (time since boot, like Windows' time since start-up),
// truncated to 32 bits so it wraps exactly as the Windows counter does.
DWORD timeGetTime()
{
    if (g_Clock) return g_Clock();
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void Sleep(DWORD milliseconds)
{
    if (g_Sleep) {
        g_Sleep(milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace platform::seams {

void SetClock(std::function<DWORD()> now)
{
    g_Clock = std::move(now);
}

void SetSleep(std::function<void(DWORD)> sleep)
{
    g_Sleep = std::move(sleep);
}

void ResetClock()
{
    g_Clock = nullptr;
    g_Sleep = nullptr;
}

}  // namespace platform::seams
