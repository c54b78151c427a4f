// Our message queue: SDL events become window messages, the key-state table follows the key
// messages as they are taken from the queue, and TranslateMessage makes characters of key-downs.
#include <csignal>
#include <cstring>
#include <deque>

#include <unistd.h>

#include "platform/gbk.h"
#include "platform/signals.h"
#include "platform/win32/keymap.h"
#include "platform/seams_internal.h"
#include "platform/win32/window_internal.h"

namespace {

std::deque<MSG> g_Queue;
bool g_QuitPosted = false;
int g_QuitCode = 0;
bool g_InIdleHook = false;

// Written by the signal handler, so nothing but flags of this type. g_QuitWanted: a quit was
// posted or a signal asked for one; g_SignalUnread: the queue has not taken the signal's close yet.
volatile std::sig_atomic_t g_QuitWanted = 0;
volatile std::sig_atomic_t g_SignalUnread = 0;

void OnQuitSignal(int sig)
{
    if (g_QuitWanted) _exit(128 + sig);
    g_QuitWanted = 1;
    g_SignalUnread = 1;
}

// Per virtual key: 0x80 pressed, 0x01 toggled (as GetKeyboardState keeps them).
BYTE g_Keys[256];

// A reserved bit of a key message's lParam: the platform delivers this key's text itself (from
// SDL's text input, already in GBK), so TranslateMessage must not type it a second time.
constexpr LPARAM kTextDelivered = LPARAM{1} << 25;
constexpr LPARAM kExtendedKey = LPARAM{1} << 24;
constexpr LPARAM kPreviousDown = LPARAM{1} << 30;
constexpr LPARAM kTransitionUp = LPARAM{1} << 31;

constexpr int kLeftShiftScan = 0x2A;
constexpr int kRightShiftScan = 0x36;

constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

bool IsDown(int vk)
{
    return (g_Keys[vk & 0xFF] & 0x80) != 0;
}

void Press(int vk)
{
    BYTE& k = g_Keys[vk & 0xFF];
    if (!(k & 0x80)) k ^= 0x01;
    k |= 0x80;
}

void Lift(int vk)
{
    g_Keys[vk & 0xFF] &= static_cast<BYTE>(~0x80);
}

// The side-specific codes (VK_LSHIFT ... VK_RMENU) follow the generic ones.
int SideKey(const MSG& m)
{
    const bool extended = (m.lParam & kExtendedKey) != 0;
    switch (m.wParam) {
    case VK_SHIFT: return ((m.lParam >> 16) & 0xFF) == kRightShiftScan ? 0xA1 : 0xA0;
    case VK_CONTROL: return extended ? 0xA3 : 0xA2;
    case VK_MENU: return extended ? 0xA5 : 0xA4;
    default: return 0;
    }
}

void NoteTaken(const MSG& m)
{
    const int side = SideKey(m);
    switch (m.message) {
    case WM_KEYDOWN:
        Press(static_cast<int>(m.wParam));
        if (side) Press(side);
        break;
    case WM_KEYUP:
        // Shift, Ctrl and Alt stay down while the other key of the pair is still held. The side
        // codes come in pairs (left even, right odd), so the other one is side ^ 1.
        if (side) Lift(side);
        if (!side || !IsDown(side ^ 1)) Lift(static_cast<int>(m.wParam));
        break;
    case WM_LBUTTONDOWN: Press(VK_LBUTTON); break;
    case WM_LBUTTONUP: Lift(VK_LBUTTON); break;
    case WM_RBUTTONDOWN: Press(VK_RBUTTON); break;
    case WM_RBUTTONUP: Lift(VK_RBUTTON); break;
    case WM_MBUTTONDOWN: Press(VK_MBUTTON); break;
    case WM_MBUTTONUP: Lift(VK_MBUTTON); break;
    default: break;
    }
}

MSG MakeMsg(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG m{};
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = timeGetTime();
    return m;
}

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_Queue.push_back(MakeMsg(hwnd, message, wParam, lParam));
}

LPARAM PackPoint(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

WPARAM MouseKeyFlags()
{
    WPARAM flags = 0;
    if (IsDown(VK_LBUTTON)) flags |= MK_LBUTTON;
    if (IsDown(VK_RBUTTON)) flags |= MK_RBUTTON;
    if (IsDown(VK_MBUTTON)) flags |= MK_MBUTTON;
    if (IsDown(VK_SHIFT)) flags |= MK_SHIFT;
    if (IsDown(VK_CONTROL)) flags |= MK_CONTROL;
    return flags;
}

LPARAM KeyLParam(const SDL_KeyboardEvent& k)
{
    int scan = 0;
    bool extended = false;
    switch (k.keysym.sym) {
    case SDLK_LSHIFT: scan = kLeftShiftScan; break;
    case SDLK_RSHIFT: scan = kRightShiftScan; break;
    case SDLK_RCTRL:
    case SDLK_RALT:
    case SDLK_KP_ENTER: extended = true; break;
    default: break;
    }
    LPARAM l = 1 | (static_cast<LPARAM>(scan) << 16);
    if (extended) l |= kExtendedKey;
    if (k.repeat) l |= kPreviousDown;
    if (k.type == SDL_KEYUP) l |= kPreviousDown | kTransitionUp;
    return l;
}

void TranslateSdlEvent(const SDL_Event& e)
{
    using namespace platform::detail;
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const int vk = VirtualKeyFromSdl(e.key.keysym.sym, e.key.keysym.scancode, e.key.keysym.mod);
        if (!vk) break;
        LPARAM l = KeyLParam(e.key);
        if (e.type == SDL_KEYDOWN && SDL_IsTextInputActive() && SdlKeyTypesText(e.key.keysym.sym, e.key.keysym.mod))
            l |= kTextDelivered;
        Post(WindowFromSdlId(e.key.windowID), e.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(vk), l);
        break;
    }
    case SDL_TEXTINPUT: {
        HWND hwnd = WindowFromSdlId(e.text.windowID);
        for (unsigned char byte : platform::Utf8ToGbk(e.text.text)) Post(hwnd, WM_CHAR, byte, 1);
        break;
    }
    case SDL_MOUSEMOTION:
        Post(WindowFromSdlId(e.motion.windowID), WM_MOUSEMOVE, MouseKeyFlags(), PackPoint(e.motion.x, e.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        UINT message = 0;
        WPARAM own = 0;
        switch (e.button.button) {
        case SDL_BUTTON_LEFT: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; own = MK_LBUTTON; break;
        case SDL_BUTTON_RIGHT: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; own = MK_RBUTTON; break;
        case SDL_BUTTON_MIDDLE: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; own = MK_MBUTTON; break;
        default: return;
        }
        // The key table follows the messages as they are taken, so this button's own change is
        // not in it yet.
        const WPARAM flags = down ? (MouseKeyFlags() | own) : (MouseKeyFlags() & ~own);
        Post(WindowFromSdlId(e.button.windowID), message, flags, PackPoint(e.button.x, e.button.y));
        break;
    }
    case SDL_QUIT:
        if (HWND main = MainWindow()) Post(main, WM_CLOSE, 0, 0);
        break;
    default: break;
    }
}

void PumpSdl()
{
    if (g_SignalUnread) {
        g_SignalUnread = 0;
        if (HWND main = platform::detail::MainWindow())
            Post(main, WM_CLOSE, 0, 0);
        else
            PostQuitMessage(0);
    }
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) TranslateSdlEvent(e);
}

bool Matches(const MSG& m, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (hwnd && m.hwnd != hwnd) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return m.message >= filterMin && m.message <= filterMax;
}

// One look at the queue: a waiting message first, then a posted quit.
bool TakeMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    for (auto it = g_Queue.begin(); it != g_Queue.end(); ++it) {
        if (!Matches(*it, hwnd, filterMin, filterMax)) continue;
        *msg = *it;
        if (removeMsg & PM_REMOVE) {
            g_Queue.erase(it);
            NoteTaken(*msg);
        }
        return true;
    }
    const bool quitWanted = (filterMin == 0 && filterMax == 0) || (WM_QUIT >= filterMin && WM_QUIT <= filterMax);
    if (g_QuitPosted && quitWanted) {
        *msg = MakeMsg(nullptr, WM_QUIT, static_cast<WPARAM>(g_QuitCode), 0);
        if (removeMsg & PM_REMOVE) g_QuitPosted = false;
        return true;
    }
    return false;
}

}  // namespace

namespace platform::detail {

void DropMessagesFor(HWND hwnd)
{
    std::erase_if(g_Queue, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

void SyncToggleKeys()
{
    const SDL_Keymod mods = SDL_GetModState();
    auto sync = [](int vk, bool on) { g_Keys[vk] = static_cast<BYTE>((g_Keys[vk] & 0x80) | (on ? 0x01 : 0)); };
    sync(VK_CAPITAL, (mods & KMOD_CAPS) != 0);
    sync(0x90, (mods & KMOD_NUM) != 0);
    sync(0x91, (mods & KMOD_SCROLL) != 0);
}

void ResetMessages()
{
    g_Queue.clear();
    g_QuitPosted = false;
    g_QuitCode = 0;
    g_QuitWanted = 0;
    g_SignalUnread = 0;
    std::memset(g_Keys, 0, sizeof g_Keys);
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

}  // namespace platform::detail

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    if (!msg) return FALSE;
    PumpSdl();
    if (TakeMessage(msg, hwnd, filterMin, filterMax, removeMsg)) return TRUE;

    const auto& hook = platform::seams::detail::IdleHook();
    if (!hook || g_InIdleHook) return FALSE;
    g_InIdleHook = true;
    hook();
    g_InIdleHook = false;
    return TakeMessage(msg, hwnd, filterMin, filterMax, removeMsg) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP)) return FALSE;
    if (msg->message != WM_KEYDOWN || (msg->lParam & kTextDelivered) || IsDown(VK_MENU)) return TRUE;
    const int ch = platform::detail::CharFromVirtualKey(static_cast<int>(msg->wParam), IsDown(VK_SHIFT),
                                                        (g_Keys[VK_CAPITAL] & 0x01) != 0, IsDown(VK_CONTROL));
    // The character is the very next message, ahead of anything already waiting.
    if (ch >= 0) g_Queue.push_front(MakeMsg(msg->hwnd, WM_CHAR, static_cast<WPARAM>(ch), msg->lParam & 0x00FFFFFF));
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg || !platform::detail::IsLiveWindow(msg->hwnd)) return 0;
    return msg->hwnd->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode)
{
    g_QuitWanted = 1;
    g_QuitPosted = true;
    g_QuitCode = exitCode;
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !platform::detail::IsLiveWindow(hwnd)) return FALSE;
    Post(hwnd, msg, wParam, lParam);
    return TRUE;
}

SHORT GetKeyState(int virtKey)
{
    const BYTE k = g_Keys[virtKey & 0xFF];
    const WORD state = static_cast<WORD>(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
    return static_cast<SHORT>(state);
}

namespace platform::seams {

void InjectMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    Post(platform::detail::MainWindow(), message, wParam, lParam);
}

void SetKeyState(int virtKey, bool down, bool toggled)
{
    g_Keys[virtKey & 0xFF] = static_cast<BYTE>((down ? 0x80 : 0) | (toggled ? 0x01 : 0));
}

}  // namespace platform::seams

namespace platform {

// Replaces the handlers SDL installs when it starts (it leaves a handler it did not install).
void InstallQuitSignals()
{
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace platform
