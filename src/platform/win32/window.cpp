// Window classes and windows on SDL2. A window is an SDL window with an OpenGL surface, so the
// device can draw into it; its client area is the size given at creation.
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/ascii.h"
#include "platform/gbk.h"
#include "platform/seams_internal.h"
#include "platform/win32/window_internal.h"

namespace {

struct WindowClass {
    std::string lowerName;
    WNDCLASSA wc;
};

std::vector<WindowClass> g_Classes;
// Never destroyed: a device kept alive by the buffers of a global object is released during
// global destruction, after this file's objects would be gone, and still unlinks its window.
std::vector<std::unique_ptr<HWND__>>& g_Windows = *new std::vector<std::unique_ptr<HWND__>>;
ATOM g_NextAtom = 0xC000;

const WindowClass* FindClass(const char* name)
{
    const std::string lower = platform::AsciiLower(name ? name : "");
    for (const WindowClass& c : g_Classes) {
        if (c.lowerName == lower) return &c;
    }
    return nullptr;
}

void DestroySdlWindow(HWND__* w)
{
    if (w->sdl) {
        SDL_DestroyWindow(w->sdl);
        w->sdl = nullptr;
    }
}

// Stand-ins for system icons, cursors and brushes: distinct, non-null, never dereferenced.
char g_StockHandles[3];

}  // namespace

namespace platform::detail {

bool EnsureVideo()
{
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        // No display to open: run headless rather than not at all.
        if (SDL_getenv("SDL_VIDEODRIVER")) return false;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    }
    // Every window can carry the device: the GL surface is chosen when the window is made.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Loaded once for the whole run: SDL would otherwise unload the GL driver with the last GL
    // window and load it again with the next one.
    SDL_GL_LoadLibrary(nullptr);
    return true;
}

bool IsLiveWindow(HWND hwnd)
{
    if (!hwnd) return false;
    for (const auto& w : g_Windows) {
        if (w.get() == hwnd) return w->alive;
    }
    return false;
}

void RetainWindow(HWND hwnd)
{
    if (hwnd) ++hwnd->refs;
}

void ReleaseWindow(HWND hwnd)
{
    if (hwnd && --hwnd->refs == 0) DestroySdlWindow(hwnd);
}

HWND MainWindow()
{
    for (const auto& w : g_Windows) {
        if (w->alive) return w.get();
    }
    return nullptr;
}

HWND WindowFromSdlId(Uint32 id)
{
    for (const auto& w : g_Windows) {
        if (w->alive && w->sdl && SDL_GetWindowID(w->sdl) == id) return w.get();
    }
    return MainWindow();
}

void ResetWindows()
{
    for (const auto& w : g_Windows) {
        if (w->alive) DestroyWindow(w.get());
    }
    // Records still held by a device stay until that device lets go of them.
    std::erase_if(g_Windows, [](const std::unique_ptr<HWND__>& w) { return w->refs <= 0; });
    g_Classes.clear();
}

}  // namespace platform::detail

using namespace platform::detail;

ATOM RegisterClassA(const WNDCLASSA* wc)
{
    if (platform::seams::detail::Failures().registerClass) return 0;
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc || FindClass(wc->lpszClassName)) return 0;
    g_Classes.push_back({platform::AsciiLower(wc->lpszClassName), *wc});
    return g_NextAtom++;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    if (platform::seams::detail::Failures().createWindow) return nullptr;
    const WindowClass* wc = FindClass(className);
    if (!wc) return nullptr;
    const bool firstWindow = !SDL_WasInit(SDL_INIT_VIDEO);
    if (!EnsureVideo()) return nullptr;
    if (firstWindow) SyncToggleKeys();

    const std::string title = platform::GbkToUtf8(windowName ? windowName : "");
    SDL_Window* sdl = SDL_CreateWindow(title.c_str(), x, y, std::max(width, 1), std::max(height, 1),
                                       SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!sdl) return nullptr;
    SDL_StartTextInput();

    g_Windows.push_back(std::make_unique<HWND__>());
    HWND hwnd = g_Windows.back().get();
    hwnd->sdl = sdl;
    hwnd->proc = wc->wc.lpfnWndProc;

    // As on Windows, the creation message arrives before CreateWindowExA returns, and -1 from
    // it refuses the window.
    if (hwnd->proc(hwnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return hwnd;
}

BOOL ShowWindow(HWND hwnd, int cmdShow)
{
    if (!IsLiveWindow(hwnd) || !hwnd->sdl) return FALSE;
    const BOOL wasVisible = (SDL_GetWindowFlags(hwnd->sdl) & SDL_WINDOW_SHOWN) ? TRUE : FALSE;
    if (cmdShow == SW_HIDE)
        SDL_HideWindow(hwnd->sdl);
    else
        SDL_ShowWindow(hwnd->sdl);
    return wasVisible;
}

BOOL UpdateWindow(HWND hwnd)
{
    return IsLiveWindow(hwnd) ? TRUE : FALSE;
}

BOOL DestroyWindow(HWND hwnd)
{
    if (!IsLiveWindow(hwnd)) return FALSE;
    hwnd->alive = false;
    if (hwnd->sdl) SDL_HideWindow(hwnd->sdl);
    DropMessagesFor(hwnd);
    hwnd->proc(hwnd, WM_DESTROY, 0, 0);
    DropMessagesFor(hwnd);
    ReleaseWindow(hwnd);
    return TRUE;
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE) DestroyWindow(hwnd);
    return 0;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name)
{
    return reinterpret_cast<HICON>(&g_StockHandles[0]);
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    return reinterpret_cast<HCURSOR>(&g_StockHandles[1]);
}

HGDIOBJ GetStockObject(int object)
{
    return reinterpret_cast<HGDIOBJ>(&g_StockHandles[2]);
}
