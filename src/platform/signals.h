// The process's answer to SIGTERM and SIGINT. The first asks the program to quit as closing its
// window does, through the message queue between ticks. A tick that never ends (a script loop
// without a wait) never reads the queue again, so a second signal, or any signal while a quit is
// already pending, ends the process at once with 128 + the signal's number.
#pragma once

namespace platform {

void InstallQuitSignals();

}  // namespace platform
