// The layer's side of the test seams: what the window, the queue, the clock and the device read.
#pragma once

#include <functional>

#include "platform/seams.h"

namespace platform::seams::detail {

const ForcedFailures& Failures();
bool HardwareTransformAndLight();
void NoteCreatedDevice(DWORD behaviorFlags, int depthFormat);
// Where Present keeps the frame it read back; null when no test keeps frames.
Frame* PresentedFrame();
// The texture budget in force.
std::size_t TextureBudget();
// The idle hook, or an empty function.
const std::function<void()>& IdleHook();

}  // namespace platform::seams::detail
