// SPDX-License-Identifier: MIT
#include "platform/private/dialog_context.h"

#include <imgui.h>
#include <imgui_freetype.h>

#include "platform/private/ui_font.h"

namespace nova {

namespace {
constexpr float kUiFontPixels = 12.0f; // the system's 9-point dialog font
}

ImGuiContext* CreateDialogContext(const TDialogLayout& layout) {
  ImGuiContext* context = ImGui::CreateContext();
  ImGui::SetCurrentContext(context);
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;
  io.LogFilename = nullptr;
  io.DisplaySize =
      ImVec2(static_cast<float>(layout.client_width), static_cast<float>(layout.client_height));
  ImGui::StyleColorsLight();
  ImGui::GetStyle().WindowRounding = 0;
  ImGui::GetStyle().WindowBorderSize = 0;

  // Only the characters the dialog shows: a full Japanese atlas would take seconds to build.
  ImFontGlyphRangesBuilder builder;
  builder.AddRanges(io.Fonts->GetGlyphRangesDefault());
  builder.AddText(layout.utf8_texts.c_str());
  ImVector<ImWchar> ranges;
  builder.BuildRanges(&ranges);
  io.Fonts->FontBuilderIO = ImGuiFreeType::GetBuilderForFreeType();
  const std::string font = FindUiFontFile();
  if (font.empty() ||
      !io.Fonts->AddFontFromFileTTF(font.c_str(), kUiFontPixels, nullptr, ranges.Data))
    io.Fonts->AddFontDefault();
  unsigned char* pixels = nullptr;
  int width = 0, height = 0;
  io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
  return context;
}

bool RunDialogFrame(const TDialogLayout& layout, const std::function<bool()>& frame) {
  ImGui::NewFrame();
  ImGui::SetNextWindowPos(ImVec2(0, 0));
  ImGui::SetNextWindowSize(ImGui::GetIO().DisplaySize);
  ImGui::Begin("##dialog", nullptr,
               ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus);
  const bool open = frame();
  ImGui::End();
  ImGui::Render();
  return open;
}

} // namespace nova
