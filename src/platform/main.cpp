// The process entry: Windows calls WinMain; here main does.
#include "platform/win32.h"

int main()
{
    return WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW);
}
