// SPDX-License-Identifier: MIT
#include "platform/private/sdl_keys.h"

#include <SDL.h>

#include "platform/virtual_keys.h"

namespace nova {

namespace {

struct TKeyPair {
  SDL_Keycode sdl;
  int vk;
};

constexpr TKeyPair kKeycodes[] = {
    {SDLK_BACKSPACE, vk::kBack},
    {SDLK_TAB, vk::kTab},
    {SDLK_CLEAR, vk::kClear},
    {SDLK_RETURN, vk::kReturn},
    {SDLK_KP_ENTER, vk::kReturn},
    {SDLK_RETURN2, vk::kReturn},
    {SDLK_LSHIFT, vk::kShift},
    {SDLK_RSHIFT, vk::kShift},
    {SDLK_LCTRL, vk::kControl},
    {SDLK_RCTRL, vk::kControl},
    {SDLK_LALT, vk::kMenu},
    {SDLK_RALT, vk::kMenu},
    {SDLK_PAUSE, vk::kPause},
    {SDLK_CAPSLOCK, vk::kCapital},
    {SDLK_ESCAPE, vk::kEscape},
    {SDLK_SPACE, vk::kSpace},
    {SDLK_PAGEUP, vk::kPrior},
    {SDLK_PAGEDOWN, vk::kNext},
    {SDLK_END, vk::kEnd},
    {SDLK_HOME, vk::kHome},
    {SDLK_LEFT, vk::kLeft},
    {SDLK_UP, vk::kUp},
    {SDLK_RIGHT, vk::kRight},
    {SDLK_DOWN, vk::kDown},
    {SDLK_SELECT, vk::kSelect},
    {SDLK_EXECUTE, vk::kExecute},
    {SDLK_PRINTSCREEN, vk::kSnapshot},
    {SDLK_INSERT, vk::kInsert},
    {SDLK_DELETE, vk::kDelete},
    {SDLK_HELP, vk::kHelp},
    {SDLK_LGUI, vk::kLWin},
    {SDLK_RGUI, vk::kRWin},
    {SDLK_APPLICATION, vk::kApps},
    {SDLK_KP_MULTIPLY, vk::kMultiply},
    {SDLK_KP_PLUS, vk::kAdd},
    {SDLK_KP_COMMA, vk::kSeparator},
    {SDLK_KP_MINUS, vk::kSubtract},
    {SDLK_KP_PERIOD, vk::kDecimal},
    {SDLK_KP_DECIMAL, vk::kDecimal},
    {SDLK_KP_DIVIDE, vk::kDivide},
    {SDLK_NUMLOCKCLEAR, vk::kNumLock},
    {SDLK_SCROLLLOCK, vk::kScroll},
    {SDLK_SEMICOLON, vk::kOem1},
    {SDLK_COLON, vk::kOem1},
    {SDLK_EQUALS, vk::kOemPlus},
    {SDLK_PLUS, vk::kOemPlus},
    {SDLK_COMMA, vk::kOemComma},
    {SDLK_MINUS, vk::kOemMinus},
    {SDLK_PERIOD, vk::kOemPeriod},
    {SDLK_SLASH, vk::kOem2},
    {SDLK_BACKQUOTE, vk::kOem3},
    {SDLK_AT, vk::kOem3},
    {SDLK_LEFTBRACKET, vk::kOem4},
    {SDLK_BACKSLASH, vk::kOem5},
    {SDLK_RIGHTBRACKET, vk::kOem6},
    {SDLK_QUOTE, vk::kOem7},
    {SDLK_CARET, vk::kOem7},
};

struct TScanPair {
  SDL_Scancode sdl;
  int vk;
};

// Keys of the Japanese keyboard, which SDL names only by position.
constexpr TScanPair kScancodes[] = {
    {SDL_SCANCODE_INTERNATIONAL1, vk::kOem102}, // ろ (\ _)
    {SDL_SCANCODE_INTERNATIONAL2, vk::kKana},   // カタカナ/ひらがな
    {SDL_SCANCODE_INTERNATIONAL3, vk::kOem5},   // ¥ |
    {SDL_SCANCODE_INTERNATIONAL4, vk::kConvert},
    {SDL_SCANCODE_INTERNATIONAL5, vk::kNonConvert},
    {SDL_SCANCODE_LANG1, vk::kKana},
    {SDL_SCANCODE_LANG2, vk::kKanji},
};

} // namespace

int VirtualKeyFromSdl(int32_t keycode, int scancode) {
  for (const TScanPair& p : kScancodes)
    if (p.sdl == scancode)
      return p.vk;
  if (keycode >= SDLK_a && keycode <= SDLK_z)
    return vk::kA + (keycode - SDLK_a);
  if (keycode >= SDLK_0 && keycode <= SDLK_9)
    return vk::k0 + (keycode - SDLK_0);
  if (keycode >= SDLK_F1 && keycode <= SDLK_F12)
    return vk::kF1 + (keycode - SDLK_F1);
  if (keycode >= SDLK_F13 && keycode <= SDLK_F24)
    return vk::kF1 + 12 + (keycode - SDLK_F13);
  if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9)
    return vk::kNumpad0 + 1 + (keycode - SDLK_KP_1);
  if (keycode == SDLK_KP_0)
    return vk::kNumpad0;
  for (const TKeyPair& p : kKeycodes)
    if (p.sdl == keycode)
      return p.vk;
  return -1;
}

} // namespace nova
