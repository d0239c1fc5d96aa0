// SPDX-License-Identifier: MIT
#include "platform/private/sdl_imgui_renderer.h"

#include <SDL.h>
#include <imgui.h>

#include <cstddef>

#include "base/nova_error.h"

namespace nova {

TSdlImGuiRenderer::TSdlImGuiRenderer(SDL_Renderer* renderer) : renderer_(renderer) {
  ImGuiIO& io = ImGui::GetIO();
  unsigned char* pixels = nullptr;
  int width = 0, height = 0;
  io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
  // RGBA bytes are ABGR words on a little-endian machine.
  font_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, width,
                            height);
  if (!font_)
    throw ENovaError("cannot create the dialog font texture");
  SDL_UpdateTexture(font_, nullptr, pixels, width * 4);
  SDL_SetTextureBlendMode(font_, SDL_BLENDMODE_BLEND);
  io.Fonts->SetTexID(static_cast<ImTextureID>(font_));
}

TSdlImGuiRenderer::~TSdlImGuiRenderer() {
  ImGui::GetIO().Fonts->SetTexID(nullptr);
  SDL_DestroyTexture(font_);
}

void TSdlImGuiRenderer::Draw(const ImDrawData* data) {
  const ImVec2 origin = data->DisplayPos;
  for (int n = 0; n < data->CmdListsCount; ++n) {
    const ImDrawList* list = data->CmdLists[n];
    const ImDrawVert* vertices = list->VtxBuffer.Data;
    const ImDrawIdx* indices = list->IdxBuffer.Data;
    for (const ImDrawCmd& cmd : list->CmdBuffer) {
      if (cmd.UserCallback) {
        cmd.UserCallback(list, &cmd);
        continue;
      }
      const SDL_Rect clip{static_cast<int>(cmd.ClipRect.x - origin.x),
                          static_cast<int>(cmd.ClipRect.y - origin.y),
                          static_cast<int>(cmd.ClipRect.z - cmd.ClipRect.x),
                          static_cast<int>(cmd.ClipRect.w - cmd.ClipRect.y)};
      if (clip.w <= 0 || clip.h <= 0)
        continue;
      SDL_RenderSetClipRect(renderer_, &clip);
      const ImDrawVert* v = vertices + cmd.VtxOffset;
      SDL_RenderGeometryRaw(
          renderer_, static_cast<SDL_Texture*>(cmd.GetTexID()),
          reinterpret_cast<const float*>(reinterpret_cast<const char*>(v) +
                                         offsetof(ImDrawVert, pos)),
          sizeof(ImDrawVert),
          reinterpret_cast<const SDL_Color*>(reinterpret_cast<const char*>(v) +
                                             offsetof(ImDrawVert, col)),
          sizeof(ImDrawVert),
          reinterpret_cast<const float*>(reinterpret_cast<const char*>(v) +
                                         offsetof(ImDrawVert, uv)),
          sizeof(ImDrawVert), list->VtxBuffer.Size - static_cast<int>(cmd.VtxOffset),
          indices + cmd.IdxOffset, static_cast<int>(cmd.ElemCount), sizeof(ImDrawIdx));
    }
  }
  SDL_RenderSetClipRect(renderer_, nullptr);
}

} // namespace nova
