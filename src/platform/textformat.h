// The text-format flags of DrawText, as Win32 numbers them.
#pragma once

#include "platform/win32.h"

constexpr DWORD DT_TOP = 0x00000000;
constexpr DWORD DT_LEFT = 0x00000000;
constexpr DWORD DT_CENTER = 0x00000001;
constexpr DWORD DT_RIGHT = 0x00000002;
constexpr DWORD DT_VCENTER = 0x00000004;
constexpr DWORD DT_BOTTOM = 0x00000008;
constexpr DWORD DT_NOCLIP = 0x00000100;
