// SPDX-License-Identifier: MIT
// Dialogs without a screen: ImGui lays out and hit-tests as usual, input comes from a script.
#include <imgui.h>

#include "platform/dialog_host.h"
#include "platform/private/dialog_context.h"
#include "platform/virtual_keys.h"

namespace nova {

namespace {

class THeadlessDialogHost final : public IDialogHost {
public:
  THeadlessDialogHost(std::vector<TStampedEvent> input, uint32_t max_frames)
      : replay_(std::move(input)), max_frames_(max_frames) {}

  void Run(const TDialogLayout& layout, const std::function<bool()>& frame) override {
    ImGuiContext* context = CreateDialogContext(layout);
    ImGuiIO& io = ImGui::GetIO();
    io.DeltaTime = 1.0f / 60.0f;
    MapKeys(io);
    bool open = true;
    for (uint32_t n = 0; open && n < max_frames_; ++n) {
      TWindowEvent e;
      while (open && replay_.Next(n, e))
        open = Apply(io, e);
      if (open)
        open = RunDialogFrame(layout, frame);
    }
    ImGui::DestroyContext(context);
  }

private:
  static void MapKeys(ImGuiIO& io) {
    const std::pair<ImGuiKey, int> keys[] = {
        {ImGuiKey_Tab, vk::kTab},
        {ImGuiKey_LeftArrow, vk::kLeft},
        {ImGuiKey_RightArrow, vk::kRight},
        {ImGuiKey_UpArrow, vk::kUp},
        {ImGuiKey_DownArrow, vk::kDown},
        {ImGuiKey_PageUp, vk::kPrior},
        {ImGuiKey_PageDown, vk::kNext},
        {ImGuiKey_Home, vk::kHome},
        {ImGuiKey_End, vk::kEnd},
        {ImGuiKey_Insert, vk::kInsert},
        {ImGuiKey_Delete, vk::kDelete},
        {ImGuiKey_Backspace, vk::kBack},
        {ImGuiKey_Space, vk::kSpace},
        {ImGuiKey_Enter, vk::kReturn},
        {ImGuiKey_Escape, vk::kEscape},
        {ImGuiKey_KeyPadEnter, vk::kReturn},
        {ImGuiKey_A, vk::kA},
        {ImGuiKey_C, vk::kA + 2},
        {ImGuiKey_V, vk::kA + 21},
        {ImGuiKey_X, vk::kA + 23},
        {ImGuiKey_Y, vk::kA + 24},
        {ImGuiKey_Z, vk::kA + 25},
    };
    for (const auto& [key, code] : keys)
      io.KeyMap[key] = code;
  }

  // Applies one scripted event; false when it closes the dialog.
  static bool Apply(ImGuiIO& io, const TWindowEvent& e) {
    switch (e.kind) {
    case TWindowEventKind::Close:
      return false;
    case TWindowEventKind::KeyDown:
    case TWindowEventKind::KeyUp: {
      const bool down = e.kind == TWindowEventKind::KeyDown;
      io.KeysDown[e.key] = down;
      if (e.key == vk::kShift)
        io.KeyShift = down;
      if (e.key == vk::kControl)
        io.KeyCtrl = down;
      if (e.key == vk::kMenu)
        io.KeyAlt = down;
      break;
    }
    case TWindowEventKind::MouseMove:
      io.MousePos = ImVec2(static_cast<float>(e.x), static_cast<float>(e.y));
      break;
    case TWindowEventKind::MouseDown:
    case TWindowEventKind::MouseUp:
      io.MousePos = ImVec2(static_cast<float>(e.x), static_cast<float>(e.y));
      io.MouseDown[e.button == TMouseButton::Left    ? 0
                   : e.button == TMouseButton::Right ? 1
                                                     : 2] = e.kind == TWindowEventKind::MouseDown;
      break;
    case TWindowEventKind::Wheel:
      io.MouseWheel += e.wheel_up ? 1.0f : -1.0f;
      break;
    default:
      break;
    }
    return true;
  }

  TInputReplay replay_;
  uint32_t max_frames_;
};

} // namespace

std::unique_ptr<IDialogHost> CreateHeadlessDialogHost(std::vector<TStampedEvent> input,
                                                      uint32_t max_frames) {
  return std::make_unique<THeadlessDialogHost>(std::move(input), max_frames);
}

} // namespace nova
