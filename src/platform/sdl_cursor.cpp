// SPDX-License-Identifier: MIT
#include "platform/sdl_cursor.h"

#include <SDL.h>

namespace nova {
namespace {

SDL_Cursor* g_custom = nullptr;
SDL_Cursor* g_arrow = nullptr;

void FreeCustom() {
  if (g_custom)
    SDL_FreeCursor(g_custom);
  g_custom = nullptr;
}

} // namespace

bool SdlShowCustomCursor(const uint32_t* argb, int width, int height, int hot_x, int hot_y) {
  if (!argb || width <= 0 || height <= 0)
    return false;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint32_t*>(argb), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!surface)
    return false;
  SDL_Cursor* cursor = SDL_CreateColorCursor(surface, hot_x, hot_y);
  SDL_FreeSurface(surface);
  if (!cursor)
    return false;
  SDL_SetCursor(cursor);
  FreeCustom();
  g_custom = cursor;
  return true;
}

void SdlShowArrowCursor() {
  if (!g_arrow)
    g_arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  if (g_arrow)
    SDL_SetCursor(g_arrow);
  FreeCustom();
}

} // namespace nova
