// The device the benchmarks draw on: 640 x 480, as the program's window, presenting at once.
#pragma once

#include "platform/d3d9.h"

namespace bench {

IDirect3DDevice9* MakeDevice();

}  // namespace bench
