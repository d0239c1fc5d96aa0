// SPDX-License-Identifier: MIT
#include "shell/config_dialog.h"

#include <imgui.h>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "platform/message_box.h"
#include "shell/form_config.h"
#include "shell/texts.h"

namespace nova {

namespace {

using L = TConfigDialogLayout;

// ImGui draws UTF-8 and has no '&' accelerators: the marked letter is shown without the mark.
std::string Caption(const std::string& sjis) {
  std::string text = SjisToUtf8(sjis);
  std::erase(text, '&');
  return text;
}

void Place(int x, int y) {
  ImGui::SetCursorPos(ImVec2(static_cast<float>(x), static_cast<float>(y)));
}

bool DialogFrame(TFormConfig& form) {
  const TShellTexts& t = ShellTexts();
  Place(L::kCheckX, L::kCheckY);
  bool checked = form.CheckSound();
  if (ImGui::Checkbox(Caption(t.config_use_direct_sound).c_str(), &checked))
    form.CheckSoundClick(checked);

  ImGui::BeginDisabled(!form.DelayControlsEnabled());
  Place(L::kLabelX, L::kLabelY);
  ImGui::TextUnformatted(Caption(t.config_delay_label).c_str());
  Place(L::kTrackX, L::kTrackY);
  ImGui::SetNextItemWidth(static_cast<float>(L::kTrackWidth));
  int position = form.TrackPosition();
  if (ImGui::SliderInt("##TrackBuff", &position, TFormConfig::kTrackMin, TFormConfig::kTrackMax, "",
                       ImGuiSliderFlags_AlwaysClamp))
    form.TrackBuffChange(position);
  const std::string info = SjisToUtf8(form.DelayInfo());
  Place(L::kTrackX + L::kTrackWidth - static_cast<int>(ImGui::CalcTextSize(info.c_str()).x),
        L::kInfoY);
  ImGui::TextUnformatted(info.c_str());
  ImGui::EndDisabled();

  const ImVec2 button(static_cast<float>(L::kButtonWidth), static_cast<float>(L::kButtonHeight));
  Place(L::kOkX, L::kButtonY);
  const bool ok = ImGui::Button(Caption(t.ok).c_str(), button) ||
                  ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter), false);
  Place(L::kCancelX, L::kButtonY);
  const bool cancel = ImGui::Button(Caption(t.cancel).c_str(), button) ||
                      ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false);
  if (ok) {
    try {
      form.OkClick();
    } catch (const ENovaError& e) {
      ShowMessageBox(e.what(), t.warning_caption, TMsgButtons::Ok, TMsgIcon::Warning);
    }
  } else if (cancel) {
    form.CancelClick();
  }
  return form.Running();
}

} // namespace

void RunConfigDialog(IDialogHost& host, const std::filesystem::path& ini_path) {
  TFormConfig form(ini_path);
  const TShellTexts& t = ShellTexts();
  TDialogLayout layout;
  layout.sjis_caption = t.config_caption;
  layout.client_width = TFormConfig::kClientWidth;
  layout.client_height = TFormConfig::kClientHeight;
  layout.utf8_texts = SjisToUtf8(t.config_caption + t.config_use_direct_sound + t.config_delay_label +
                               t.ok + t.cancel) +
                    "0123456789ms";
  host.Run(layout, [&] { return DialogFrame(form); });
}

} // namespace nova
