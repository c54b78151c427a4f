#include "support/bundledrun.h"

#include <algorithm>

#include "app/winmain.h"

namespace testutil {

BundledRun::BundledRun() : m_Cwd(std::string(ENGINE_SOURCE_DIR) + "/data") {}

int BundledRun::Run(const std::function<void(int frames)>& onIdle)
{
    platform::seams::ResetAll();
    platform::seams::InstallMessageBoxRecorder();
    platform::seams::SetDeviceRecording(true);
    platform::seams::KeepPresentedFrames(true);
    int frames = 0;
    platform::seams::SetIdleHook([&] {
        auto& calls = platform::seams::RecordedDeviceCalls();
        frames += static_cast<int>(std::count(calls.begin(), calls.end(), std::string("Present()")));
        calls.clear();
        onIdle(frames);
    });
    const int result = WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW);
    platform::seams::ResetAll();
    platform::seams::InstallMessageBoxRecorder();  // the boxes stay readable
    return result;
}

}  // namespace testutil
