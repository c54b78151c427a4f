// The one Direct3D device, as the world draws with it. The shell creates it and defines the
// pointer; the world only declares it, so that it reaches no folder above its own.
#pragma once

#include "platform/d3d9.h"

extern IDirect3DDevice9* g_pDevice;
