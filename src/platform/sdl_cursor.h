// SPDX-License-Identifier: MIT
// The pointer's custom cursor on the SDL window.
#pragma once
#include <cstdint>

namespace nova {

// Shows a cursor made of top-down 0xAARRGGBB pixels with its hot spot; the previous custom
// cursor is freed. False when SDL cannot make it (the current cursor stays).
bool SdlShowCustomCursor(const uint32_t* argb, int width, int height, int hot_x, int hot_y);
// Back to the system arrow.
void SdlShowArrowCursor();

} // namespace nova
