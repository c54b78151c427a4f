// A device for the targets whose readers build meshes and buffers: made once, off screen.
#pragma once

namespace fuzz {

// Sets g_pDevice to a small off-screen device, or leaves it null when none can be made (the
// readers then report that their buffers could not be made, and go on).
void MakeDevice();

}  // namespace fuzz
