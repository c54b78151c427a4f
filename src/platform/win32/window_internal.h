// What the window, the message queue and the device share inside the layer: the window record
// behind an HWND and the resets that ResetAll runs.
#pragma once

#include <SDL2/SDL.h>

#include "platform/win32.h"

struct HWND__ {
    SDL_Window* sdl = nullptr;
    WNDPROC proc = nullptr;
    bool alive = true;
    // The window itself holds one reference and each device drawing into it another, so the
    // SDL window (and the GL context on it) outlives DestroyWindow until the device is released.
    int refs = 1;
};

namespace platform::detail {

// Starts SDL's video subsystem once; false when no video driver can start.
bool EnsureVideo();

bool IsLiveWindow(HWND hwnd);
void RetainWindow(HWND hwnd);
void ReleaseWindow(HWND hwnd);
// The first window still alive: the target of input that names no window.
HWND MainWindow();
HWND WindowFromSdlId(Uint32 id);

// Queue side of DestroyWindow: messages still queued for a destroyed window are dropped.
void DropMessagesFor(HWND hwnd);

// Takes the lock keys' toggle states from the keyboard when the first window opens.
void SyncToggleKeys();

// Resets run by seams::ResetAll.
void ResetWindows();
void ResetMessages();
void ResetDevice();

}  // namespace platform::detail
