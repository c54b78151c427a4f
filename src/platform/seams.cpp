// Test seams that are plain switches and read-backs; the clock, input and device seams live
// beside what they replace.
#include "platform/seams_internal.h"
#include "platform/window_internal.h"

namespace {

platform::seams::ForcedFailures g_Failures;
bool g_HardwareTnL = true;
DWORD g_LastBehaviorFlags = 0;
int g_LastDepthFormat = 0;
platform::seams::Frame g_Frame;
std::function<void()> g_IdleHook;

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

const Frame& LastPresentedFrame()
{
    return g_Frame;
}

void SetIdleHook(std::function<void()> hook)
{
    g_IdleHook = std::move(hook);
}

D3DPRESENT_PARAMETERS OffscreenPresentParameters(UINT width, UINT height, D3DFORMAT depth)
{
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = width;
    p.BackBufferHeight = height;
    p.BackBufferFormat = D3DFMT_A8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = depth;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return p;
}

IDirect3DDevice9* MakeOffscreenDevice(UINT width, UINT height, D3DFORMAT depth)
{
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d)
        return nullptr;
    D3DPRESENT_PARAMETERS p = OffscreenPresentParameters(width, height, depth);
    IDirect3DDevice9* device = nullptr;
    if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p,
                                 &device)))
        device = nullptr;
    d3d->Release();
    return device;
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

Frame& PresentedFrame()
{
    return g_Frame;
}

const std::function<void()>& IdleHook()
{
    return g_IdleHook;
}

}  // namespace platform::seams::detail
