// SDL keycodes to Windows virtual-key codes, and virtual keys to typed characters.
#include "platform/win32/keymap.h"

namespace {

struct KeyPair {
    SDL_Keycode key;
    int vk;
};

constexpr KeyPair kKeys[] = {
    {SDLK_BACKSPACE, 0x08}, {SDLK_TAB, 0x09}, {SDLK_CLEAR, 0x0C}, {SDLK_RETURN, 0x0D},
    {SDLK_RETURN2, 0x0D}, {SDLK_KP_ENTER, 0x0D}, {SDLK_LSHIFT, 0x10}, {SDLK_RSHIFT, 0x10},
    {SDLK_LCTRL, 0x11}, {SDLK_RCTRL, 0x11}, {SDLK_LALT, 0x12}, {SDLK_RALT, 0x12},
    {SDLK_PAUSE, 0x13}, {SDLK_CAPSLOCK, 0x14}, {SDLK_ESCAPE, 0x1B}, {SDLK_SPACE, 0x20},
    {SDLK_PAGEUP, 0x21}, {SDLK_PAGEDOWN, 0x22}, {SDLK_END, 0x23}, {SDLK_HOME, 0x24},
    {SDLK_LEFT, 0x25}, {SDLK_UP, 0x26}, {SDLK_RIGHT, 0x27}, {SDLK_DOWN, 0x28},
    {SDLK_SELECT, 0x29}, {SDLK_EXECUTE, 0x2B}, {SDLK_PRINTSCREEN, 0x2C}, {SDLK_INSERT, 0x2D},
    {SDLK_DELETE, 0x2E}, {SDLK_HELP, 0x2F}, {SDLK_LGUI, 0x5B}, {SDLK_RGUI, 0x5C},
    {SDLK_APPLICATION, 0x5D}, {SDLK_SLEEP, 0x5F}, {SDLK_KP_0, 0x60}, {SDLK_KP_1, 0x61},
    {SDLK_KP_2, 0x62}, {SDLK_KP_3, 0x63}, {SDLK_KP_4, 0x64}, {SDLK_KP_5, 0x65},
    {SDLK_KP_6, 0x66}, {SDLK_KP_7, 0x67}, {SDLK_KP_8, 0x68}, {SDLK_KP_9, 0x69},
    {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B}, {SDLK_SEPARATOR, 0x6C}, {SDLK_KP_MINUS, 0x6D},
    {SDLK_KP_PERIOD, 0x6E}, {SDLK_KP_DECIMAL, 0x6E}, {SDLK_KP_DIVIDE, 0x6F}, {SDLK_NUMLOCKCLEAR, 0x90},
    {SDLK_SCROLLLOCK, 0x91}, {SDLK_AC_BACK, 0xA6}, {SDLK_AC_FORWARD, 0xA7}, {SDLK_AC_REFRESH, 0xA8},
    {SDLK_AC_STOP, 0xA9}, {SDLK_AC_SEARCH, 0xAA}, {SDLK_AC_BOOKMARKS, 0xAB}, {SDLK_AC_HOME, 0xAC},
    {SDLK_AUDIOMUTE, 0xAD}, {SDLK_VOLUMEDOWN, 0xAE}, {SDLK_VOLUMEUP, 0xAF}, {SDLK_AUDIONEXT, 0xB0},
    {SDLK_AUDIOPREV, 0xB1}, {SDLK_AUDIOSTOP, 0xB2}, {SDLK_AUDIOPLAY, 0xB3}, {SDLK_MAIL, 0xB4},
    {SDLK_MEDIASELECT, 0xB5}, {SDLK_APP1, 0xB6}, {SDLK_APP2, 0xB7}, {SDLK_SEMICOLON, 0xBA},
    {SDLK_EQUALS, 0xBB}, {SDLK_PLUS, 0xBB}, {SDLK_COMMA, 0xBC}, {SDLK_MINUS, 0xBD},
    {SDLK_PERIOD, 0xBE}, {SDLK_SLASH, 0xBF}, {SDLK_BACKQUOTE, 0xC0}, {SDLK_LEFTBRACKET, 0xDB},
    {SDLK_BACKSLASH, 0xDC}, {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE}, {SDLK_CANCEL, 0x03},
    {SDLK_CRSEL, 0xF7}, {SDLK_EXSEL, 0xF8}, {SDLK_KP_EQUALS, 0xBB}, {SDLK_KP_COMMA, 0xBC},
};

// US layout: the unshifted and shifted characters of the punctuation keys.
struct PunctKey {
    int vk;
    char plain;
    char shifted;
};

constexpr PunctKey kPunct[] = {
    {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'}, {0xBE, '.', '>'},
    {0xBF, '/', '?'}, {0xC0, '`', '~'}, {0xDB, '[', '{'}, {0xDC, '\\', '|'}, {0xDD, ']', '}'},
    {0xDE, '\'', '"'}, {0xE2, '\\', '|'},
};

}  // namespace

namespace platform::detail {

int VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode, Uint16 mods)
{
    if (!(mods & KMOD_NUM)) {
        switch (key) {
        case SDLK_KP_0: return 0x2D;
        case SDLK_KP_1: return 0x23;
        case SDLK_KP_2: return 0x28;
        case SDLK_KP_3: return 0x22;
        case SDLK_KP_4: return 0x25;
        case SDLK_KP_5: return 0x0C;
        case SDLK_KP_6: return 0x27;
        case SDLK_KP_7: return 0x24;
        case SDLK_KP_8: return 0x26;
        case SDLK_KP_9: return 0x21;
        case SDLK_KP_PERIOD: return 0x2E;
        default: break;
        }
    }
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + (key - SDLK_F1);
    if (key >= SDLK_F13 && key <= SDLK_F24) return 0x7C + (key - SDLK_F13);
    for (const KeyPair& p : kKeys) {
        if (p.key == key) return p.vk;
    }
    // Keys of other layouts fall back to the position of the key on a US keyboard.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return '0';
    if (scancode == SDL_SCANCODE_NONUSBACKSLASH) return 0xE2;
    const SDL_Keycode usKey = SDL_SCANCODE_TO_KEYCODE(scancode);
    for (const KeyPair& p : kKeys) {
        if (p.key == usKey) return p.vk;
    }
    switch (scancode) {
    case SDL_SCANCODE_SEMICOLON: return 0xBA;
    case SDL_SCANCODE_EQUALS: return 0xBB;
    case SDL_SCANCODE_COMMA: return 0xBC;
    case SDL_SCANCODE_MINUS: return 0xBD;
    case SDL_SCANCODE_PERIOD: return 0xBE;
    case SDL_SCANCODE_SLASH: return 0xBF;
    case SDL_SCANCODE_GRAVE: return 0xC0;
    case SDL_SCANCODE_LEFTBRACKET: return 0xDB;
    case SDL_SCANCODE_BACKSLASH: return 0xDC;
    case SDL_SCANCODE_RIGHTBRACKET: return 0xDD;
    case SDL_SCANCODE_APOSTROPHE: return 0xDE;
    default: return 0;
    }
}

bool SdlKeyTypesText(SDL_Keycode key, Uint16 mods)
{
    if (mods & (KMOD_CTRL | KMOD_ALT)) return false;
    if (key >= 32 && key < 127) return true;
    switch (key) {
    case SDLK_KP_DIVIDE:
    case SDLK_KP_MULTIPLY:
    case SDLK_KP_MINUS:
    case SDLK_KP_PLUS: return true;
    default: break;
    }
    if ((key >= SDLK_KP_1 && key <= SDLK_KP_0) || key == SDLK_KP_PERIOD) return (mods & KMOD_NUM) != 0;
    return false;
}

int CharFromVirtualKey(int vk, bool shift, bool capsLock, bool control)
{
    switch (vk) {
    case 0x08:
    case 0x09:
    case 0x0D:
    case 0x1B: return vk;
    case 0x20: return ' ';
    default: break;
    }
    if (vk >= 'A' && vk <= 'Z') {
        if (control) return vk - 'A' + 1;
        return (shift != capsLock) ? vk : vk - 'A' + 'a';
    }
    if (control) return -1;
    if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : vk;
    if (vk >= 0x60 && vk <= 0x69) return '0' + (vk - 0x60);
    switch (vk) {
    case 0x6A: return '*';
    case 0x6B: return '+';
    case 0x6D: return '-';
    case 0x6E: return '.';
    case 0x6F: return '/';
    default: break;
    }
    for (const PunctKey& p : kPunct) {
        if (p.vk == vk) return shift ? p.shifted : p.plain;
    }
    return -1;
}

}  // namespace platform::detail
