// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/input_script.h"

namespace nova {

struct TDialogLayout {
  std::string sjis_caption;
  int client_width = 0;
  int client_height = 0;
  // Every text the dialog draws (UTF-8): its characters are put into the font atlas.
  std::string utf8_texts;
};

// Runs a small immediate-mode (Dear ImGui) dialog: a window of its own, the Japanese UI font
// loaded, and `frame` called once per display frame inside an ImGui frame until it returns
// false, inside one undecorated ImGui window that fills the client area. `frame` may call any
// ImGui function; keys are asked through ImGui::GetKeyIndex(ImGuiKey_...), which both hosts map.
class IDialogHost {
public:
  virtual ~IDialogHost() = default;
  virtual void Run(const TDialogLayout& layout, const std::function<bool()>& frame) = 0;
};

// A real window through SDL; throws ENovaError when none can open.
std::unique_ptr<IDialogHost> CreateSdlDialogHost();
// No window: each frame first takes the events of `input` stamped for it (client coordinates),
// and the dialog stops after `max_frames` frames even if it is still open.
std::unique_ptr<IDialogHost> CreateHeadlessDialogHost(std::vector<TStampedEvent> input,
                                                      uint32_t max_frames);

} // namespace nova
