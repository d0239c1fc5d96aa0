// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace nova {

// The virtual-key code of an SDL key (keycode first, scancode for keys that have no keycode of
// their own, such as the Japanese keyboard's); -1 for keys that have none.
int VirtualKeyFromSdl(int32_t sdl_keycode, int sdl_scancode);

} // namespace nova
