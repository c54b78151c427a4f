// The one Direct3D device, used by every part that draws. The shell creates it and defines the
// pointer with the other global objects; it is declared here, below every folder that draws, so
// that none of them reaches up into the shell for it. Null until the device exists and again
// once it is released.
#pragma once

#include "platform/d3d9.h"

extern IDirect3DDevice9* g_pDevice;
