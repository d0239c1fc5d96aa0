// SPDX-License-Identifier: MIT
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/private/sdl_keys.h"
#include "platform/virtual_keys.h"

namespace nova {
namespace {

TEST(SdlKeys, MapsToVirtualKeyCodes) {
  struct Case {
    SDL_Keycode key;
    SDL_Scancode scan;
    int vk;
  };
  const Case cases[] = {
      {SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},
      {SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, 37},
      {SDLK_UP, SDL_SCANCODE_UP, 38},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},
      {SDLK_DOWN, SDL_SCANCODE_DOWN, 40},
      {SDLK_0, SDL_SCANCODE_0, 48},
      {SDLK_9, SDL_SCANCODE_9, 57},
      {SDLK_a, SDL_SCANCODE_A, 65},
      {SDLK_z, SDL_SCANCODE_Z, 90},
      {SDLK_F1, SDL_SCANCODE_F1, 112},
      {SDLK_F12, SDL_SCANCODE_F12, 123},
      {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 16},
      {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 16},
      {SDLK_LCTRL, SDL_SCANCODE_LCTRL, 17},
      {SDLK_RALT, SDL_SCANCODE_RALT, 18},
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8},
      {SDLK_TAB, SDL_SCANCODE_TAB, 9},
      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, 33},
      {SDLK_HOME, SDL_SCANCODE_HOME, 36},
      {SDLK_DELETE, SDL_SCANCODE_DELETE, 46},
      {SDLK_KP_0, SDL_SCANCODE_KP_0, 96},
      {SDLK_KP_9, SDL_SCANCODE_KP_9, 105},
      {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 107},
      {SDLK_COMMA, SDL_SCANCODE_COMMA, 188},
      {SDLK_MINUS, SDL_SCANCODE_MINUS, 189},
      // Japanese keyboard keys that SDL only knows by position.
      {SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL1, vk::kOem102},
      {SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL4, vk::kConvert},
      {SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL5, vk::kNonConvert},
      // Keys without a code are not reported.
      {SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VirtualKeyFromSdl(c.key, c.scan), c.vk) << SDL_GetKeyName(c.key) << " " << c.scan;
}

TEST(SdlKeys, WheelCodesFollowTheKeys) {
  EXPECT_EQ(vk::kWheelDown, 256);
  EXPECT_EQ(vk::kWheelUp, 257);
}

} // namespace
} // namespace nova
