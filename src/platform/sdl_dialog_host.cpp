// SPDX-License-Identifier: MIT
// Dialogs in a window of their own, through SDL and ImGui's SDL platform backend.
#include <SDL.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "platform/dialog_host.h"
#include "platform/private/dialog_context.h"
#include "platform/private/sdl_imgui_renderer.h"

namespace nova {

namespace {

class TSdlDialogHost final : public IDialogHost {
public:
  void Run(const TDialogLayout& layout, const std::function<bool()>& frame) override {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
      throw ENovaError(Utf8ToSjis(std::string("cannot start SDL video: ") + SDL_GetError()));
    SDL_Window* window =
        SDL_CreateWindow(SjisToUtf8(layout.sjis_caption).c_str(), SDL_WINDOWPOS_CENTERED,
                         SDL_WINDOWPOS_CENTERED, layout.client_width, layout.client_height, 0);
    SDL_Renderer* renderer =
        window
            ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC)
            : nullptr;
    if (window && !renderer)
      renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
      const std::string error = SDL_GetError();
      if (window)
        SDL_DestroyWindow(window);
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      throw ENovaError(Utf8ToSjis("cannot open the dialog window: " + error));
    }
    ImGuiContext* context = CreateDialogContext(layout);
    ImGui_ImplSDL2_InitForSDLRenderer(window);
    {
      TSdlImGuiRenderer draw(renderer);
      for (bool open = true; open;) {
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, 15)) {
          do {
            ImGui_ImplSDL2_ProcessEvent(&e);
            if (e.type == SDL_QUIT ||
                (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE))
              open = false;
          } while (SDL_PollEvent(&e));
        }
        if (!open)
          break;
        ImGui_ImplSDL2_NewFrame();
        open = RunDialogFrame(layout, frame);
        SDL_SetRenderDrawColor(renderer, 0xF0, 0xF0, 0xF0, 255);
        SDL_RenderClear(renderer);
        draw.Draw(ImGui::GetDrawData());
        SDL_RenderPresent(renderer);
      }
    }
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext(context);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
};

} // namespace

std::unique_ptr<IDialogHost> CreateSdlDialogHost() { return std::make_unique<TSdlDialogHost>(); }

} // namespace nova
