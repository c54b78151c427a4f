// Test seams of the platform layer: what a test replaces, forces or reads back. Nothing here is
// used by the engine itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace platform::seams {

// Message boxes. With the recorder installed a box is recorded and returns IDOK at once.
struct MessageBoxRecord {
    bool hasCaption;      // false for a null caption
    std::string caption;  // GBK, as the engine passed it
    std::string text;     // GBK, as the engine passed it
};
void InstallMessageBoxRecorder();
void RemoveMessageBoxRecorder();
std::vector<MessageBoxRecord>& RecordedMessageBoxes();

// Clock and sleep. Reset restores the real ones.
void SetClock(std::function<DWORD()> now);
void SetSleep(std::function<void(DWORD)> sleep);
void ResetClock();

// Messages for the main window, delivered as if SDL had produced them (key messages update the
// key-state table when they are taken from the queue, as real ones do).
void InjectMessage(UINT message, WPARAM wParam, LPARAM lParam);
// Sets a key's state directly (pressed or not, toggle bit), for the key table's tests.
void SetKeyState(int virtKey, bool down, bool toggled = false);
// Called by the message loop each time it finds the queue empty, before it reads the clock:
// the tests' hook to inject input between ticks. Empty by default.
void SetIdleHook(std::function<void()> hook);

// Forced failures of window and device creation.
struct ForcedFailures {
    bool registerClass = false;
    bool createWindow = false;
    bool direct3DCreate = false;
    bool deviceD24S8 = false;  // a device asking for D24S8 is refused
    bool deviceD16 = false;    // a device asking for D16 is refused
};
void SetForcedFailures(const ForcedFailures& failures);

// The DevCaps bit of hardware transform and lighting that GetDeviceCaps reports.
void SetHardwareTransformAndLight(bool present);

// The last created device's behaviour flags and depth format, for the retry tests.
DWORD LastDeviceBehaviorFlags();
int LastDeviceDepthFormat();

// The frame kept by the last Present: top-down BGRA, 4 bytes a pixel. Present reads the frame
// back only while a test keeps presented frames (off at start and after ResetAll); otherwise the
// frame stays empty and presenting costs no read-back.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;
};
void KeepPresentedFrames(bool on);
const Frame& LastPresentedFrame();

// The display's bits per pixel, which decide the format of loaded bitmaps: 32 (the default)
// or 16 (5-6-5).
void SetDisplayBitsPerPixel(int bits);

// The most texture memory a device may hold (its own 1 GB until ResetAll), so that a test
// reaches the limit with small images.
void SetTextureBudget(std::size_t bytes);

// Device call recording: while on, every call that changes or uses the device is logged as
// text with its arguments. Counts, indices, state and type numbers are decimal; flags, colours,
// FVFs and state values are "0x" and eight hexadecimal digits; floats are printed as by "%g";
// colour values and vectors are "(r,g,b,a)" and "(x,y,z)"; resources are "texture", "buffer" or
// "null". For example:
//   Clear(0, 0x00000003, 0xFF000000, 1, 0)      BeginScene()   EndScene()   Present()
//   SetRenderState(137, 0x00000001)             SetSamplerState(0, 5, 0x00000001)
//   SetTextureStageState(0, 4, 0x00000004)      SetFVF(0x00000142)   LightEnable(0, 1)
//   SetTransform(256, _11 _12 ... _44)          SetTexture(0, texture)
//   SetMaterial(diffuse, ambient, specular, emissive, power)
//   SetLight(index, type, diffuse, specular, ambient, position, direction, range, falloff,
//            attenuation0, attenuation1, attenuation2, theta, phi)
//   SetStreamSource(0, buffer, offset, stride)  SetIndices(buffer)
//   DrawPrimitive(type, start vertex, count)
//   DrawIndexedPrimitive(type, base vertex, min index, vertices, start index, count)
//   CreateVertexBuffer(length, usage, fvf, pool)   CreateIndexBuffer(length, usage, format, pool)
void SetDeviceRecording(bool on);
std::vector<std::string>& RecordedDeviceCalls();

// The send buffer, in bytes, of sockets made from now on (0: the system's own, which grows with
// the connection), so that a test fills a link with little data.
void SetSocketSendBuffer(int bytes);

// Puts every seam back as it was at start.
void ResetAll();

}  // namespace platform::seams
