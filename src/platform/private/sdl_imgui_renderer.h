// SPDX-License-Identifier: MIT
#pragma once

struct SDL_Renderer;
struct SDL_Texture;
struct ImDrawData;

namespace nova {

// Draws ImGui's draw lists with an SDL renderer. Debian's ImGui library ships the SDL platform
// backend but not the SDL renderer one, so the few lines it needs live here.
class TSdlImGuiRenderer {
public:
  // Uploads the current context's font atlas; throws ENovaError when the texture fails.
  explicit TSdlImGuiRenderer(SDL_Renderer* renderer);
  ~TSdlImGuiRenderer();
  TSdlImGuiRenderer(const TSdlImGuiRenderer&) = delete;
  TSdlImGuiRenderer& operator=(const TSdlImGuiRenderer&) = delete;
  void Draw(const ImDrawData* data);

private:
  SDL_Renderer* renderer_;
  SDL_Texture* font_ = nullptr;
};

} // namespace nova
