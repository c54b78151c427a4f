// The process entry: Windows calls WinMain; here main does, once the quit signals are ours.
#include "platform/signals.h"
#include "platform/win32.h"

int main()
{
    platform::InstallQuitSignals();
    return WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW);
}
