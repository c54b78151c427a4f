// The one Direct3D device, for every part that draws. It is defined with the global objects and
// stays null until the entry function has made it.
#pragma once

#include "platform/d3d9.h"

extern IDirect3DDevice9* g_pDevice;
