// The process entry: Windows calls WinMain; here main does.
#include "app/winmain.h"

int main()
{
    return WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW);
}
