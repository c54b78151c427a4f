// The program run as a player runs it, on the bundled data tree and headless: message boxes
// recorded, device calls counted, presented frames kept, reports collected by a debug-link
// listener.
#pragma once

#include <functional>

#include "support/testutil.h"

namespace testutil {

class BundledRun {
public:
    BundledRun();

    // Runs the entry function to its end and answers its result. `onIdle` is called whenever the
    // message loop finds no message waiting, with the number of frames presented so far.
    int Run(const std::function<void(int frames)>& onIdle);

    LinkListener& Link() { return m_Listener; }
    const std::vector<platform::seams::MessageBoxRecord>& Boxes() const { return m_Boxes.Boxes(); }

private:
    ScopedCwd m_Cwd;
    BoxCapture m_Boxes;
    LinkListener m_Listener;
};

}  // namespace testutil
