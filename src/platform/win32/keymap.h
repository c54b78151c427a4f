// Keyboard translation inside the layer: SDL keys to Windows virtual-key codes, and the
// character a virtual key types on a US keyboard (what TranslateMessage produces).
#pragma once

#include <SDL2/SDL.h>

namespace platform::detail {

// 0 for a key that has no virtual-key code. With Num Lock off the keypad's digits are the
// navigation keys printed on them, as on Windows.
int VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode, Uint16 mods);
// True for keys whose text SDL delivers as a text-input event, so no character is made from the
// key-down itself.
bool SdlKeyTypesText(SDL_Keycode key, Uint16 mods);
// The character a key-down types given the shift, caps-lock and control states; -1 for none.
int CharFromVirtualKey(int vk, bool shift, bool capsLock, bool control);

}  // namespace platform::detail
