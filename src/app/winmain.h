// The program's outer shell: the entry function (WinMain, declared with the Windows calls in
// platform/win32.h), the window and device, the 16 ms tick loop, the window procedure and its
// input forwarders.
#pragma once

#include "foundation/device.h"
#include "platform/d3d9.h"
#include "platform/win32.h"

bool InitD3D(HINSTANCE hInstance, int width, int height, bool windowed, D3DDEVTYPE deviceType,
             IDirect3DDevice9** device);
// Runs until WM_QUIT and returns its parameter.
int RunMessageLoop(bool (*ptr_display)(float timeDelta));
bool DisplayFrame(float timeDelta);
bool RenderFrame(IDirect3DDevice9* device, float timeDelta);

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

void OnLButtonDown(int x, int y);
void OnRButtonDown(int x, int y);
void OnMouseMove(int x, int y);
void OnChar(int ch);
void OnMButtonDown(int x, int y);
