// MessageBoxA: a modal SDL box where a display can show one; otherwise the box goes to stderr and
// returns at once, so a headless run never blocks on a report.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/gbk.h"
#include "platform/seams.h"
#include "platform/win32.h"

namespace {

bool g_Recording = false;

bool DisplayAvailable()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
        return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

}  // namespace

namespace platform::seams {

std::vector<MessageBoxRecord>& RecordedMessageBoxes()
{
    static std::vector<MessageBoxRecord> records;
    return records;
}

void InstallMessageBoxRecorder()
{
    g_Recording = true;
    RecordedMessageBoxes().clear();
}

void RemoveMessageBoxRecorder()
{
    g_Recording = false;
    RecordedMessageBoxes().clear();
}

}  // namespace platform::seams

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    std::string body = text ? text : "";
    if (g_Recording) {
        platform::seams::RecordedMessageBoxes().push_back({caption != nullptr, caption ? caption : "", body});
        return IDOK;
    }
    // Windows titles a box with no caption "Error".
    std::string title = platform::GbkToUtf8(caption ? caption : "Error");
    std::string message = platform::GbkToUtf8(body);
    if (DisplayAvailable() && SDL_ShowSimpleMessageBox(0, title.c_str(), message.c_str(), nullptr) == 0)
        return IDOK;
    std::fprintf(stderr, "[%s] %s\n", title.c_str(), message.c_str());
    std::fflush(stderr);
    return IDOK;
}
