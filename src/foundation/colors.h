// The shared colour constants, unpacked from packed ARGB.
#pragma once

#include "platform/d3dx9math.h"

inline constexpr D3DXCOLOR COLOR_WHITE{D3DCOLOR{0xFFFFFFFFu}};
inline constexpr D3DXCOLOR COLOR_BLACK{D3DCOLOR{0xFF000000u}};
inline constexpr D3DXCOLOR COLOR_RED{D3DCOLOR{0xFFFF0000u}};
inline constexpr D3DXCOLOR COLOR_GREEN{D3DCOLOR{0xFF00FF00u}};
inline constexpr D3DXCOLOR COLOR_BLUE{D3DCOLOR{0xFF0000FFu}};
inline constexpr D3DXCOLOR COLOR_YELLOW{D3DCOLOR{0xFFFFFF00u}};
inline constexpr D3DXCOLOR COLOR_GREY{D3DCOLOR{0xFF808080u}};
