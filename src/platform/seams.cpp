// Test seams that are plain switches and read-backs; the clock, input and device seams live
// beside what they replace.
#include "platform/seams_internal.h"
#include "platform/d3d9/d3d9_internal.h"
#include "platform/win32/window_internal.h"

namespace {

platform::seams::ForcedFailures g_Failures;
bool g_HardwareTnL = true;
DWORD g_LastBehaviorFlags = 0;
int g_LastDepthFormat = 0;
platform::seams::Frame g_Frame;
bool g_KeepFrames = false;
std::function<void()> g_IdleHook;
std::size_t g_TextureBudget = platform::d3d9::kTextureBudget;

}  // namespace

namespace platform::seams {

void SetForcedFailures(const ForcedFailures& failures)
{
    g_Failures = failures;
}

void SetHardwareTransformAndLight(bool present)
{
    g_HardwareTnL = present;
}

DWORD LastDeviceBehaviorFlags()
{
    return g_LastBehaviorFlags;
}

int LastDeviceDepthFormat()
{
    return g_LastDepthFormat;
}

void KeepPresentedFrames(bool on)
{
    g_KeepFrames = on;
}

const Frame& LastPresentedFrame()
{
    return g_Frame;
}

void SetIdleHook(std::function<void()> hook)
{
    g_IdleHook = std::move(hook);
}

void SetTextureBudget(std::size_t bytes)
{
    g_TextureBudget = bytes;
}

void ResetAll()
{
    RemoveMessageBoxRecorder();
    ResetClock();
    g_IdleHook = nullptr;
    g_Failures = ForcedFailures{};
    g_HardwareTnL = true;
    g_LastBehaviorFlags = 0;
    g_LastDepthFormat = 0;
    g_Frame = Frame{};
    g_KeepFrames = false;
    g_TextureBudget = platform::d3d9::kTextureBudget;
    SetSocketSendBuffer(0);
    SetDisplayBitsPerPixel(32);
    platform::detail::ResetWindows();
    platform::detail::ResetMessages();
    platform::detail::ResetDevice();
}

}  // namespace platform::seams

namespace platform::seams::detail {

const ForcedFailures& Failures()
{
    return g_Failures;
}

bool HardwareTransformAndLight()
{
    return g_HardwareTnL;
}

void NoteCreatedDevice(DWORD behaviorFlags, int depthFormat)
{
    g_LastBehaviorFlags = behaviorFlags;
    g_LastDepthFormat = depthFormat;
}

Frame* PresentedFrame()
{
    return g_KeepFrames ? &g_Frame : nullptr;
}

std::size_t TextureBudget()
{
    return g_TextureBudget;
}

const std::function<void()>& IdleHook()
{
    return g_IdleHook;
}

}  // namespace platform::seams::detail
