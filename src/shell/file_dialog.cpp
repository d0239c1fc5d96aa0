// SPDX-License-Identifier: MIT
#include "shell/file_dialog.h"

#include <imgui.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "base/sjis.h"
#include "platform/dialog_host.h"
#include "platform/message_box.h"
#include "platform/user_folders.h"
#include "shell/texts.h"
#include "shell/wildcard.h"

namespace nova {

namespace {

namespace fs = std::filesystem;

std::vector<std::string> FilterPatterns(const std::string& sjis_filter) {
  std::vector<std::string> out;
  const size_t bar = sjis_filter.find('|');
  if (bar == std::string::npos)
    return out;
  const std::string first =
      SjisToUtf8(sjis_filter.substr(bar + 1, sjis_filter.find('|', bar + 1) - bar - 1));
  size_t start = 0;
  while (start <= first.size()) {
    const size_t end = std::min(first.find(';', start), first.size());
    std::string p = first.substr(start, end - start);
    std::erase(p, ' ');
    if (!p.empty() && p != "*.*")
      out.push_back(p);
    start = end + 1;
  }
  return out;
}

} // namespace

TFileDialogModel::TFileDialogModel(TFileDialogKind kind, const std::string& folder,
                                   const std::string& sjis_filter)
    : kind_(kind), folder_(folder), patterns_(FilterPatterns(sjis_filter)) {
  List();
}

void TFileDialogModel::List() {
  entries_.clear();
  std::error_code ec;
  for (const auto& item : fs::directory_iterator(folder_, ec)) {
    const std::string n = item.path().filename().string();
    if (n.empty() || n[0] == '.')
      continue;
    const bool dir = item.is_directory(ec);
    if (!dir && (kind_ == TFileDialogKind::Directory ||
                 (!patterns_.empty() &&
                  std::none_of(patterns_.begin(), patterns_.end(),
                               [&](const std::string& p) { return WildcardMatch(p, n); }))))
      continue;
    entries_.push_back({n, dir});
  }
  std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    return a.folder != b.folder ? a.folder : a.name < b.name;
  });
}

void TFileDialogModel::Enter(const std::string& entry) {
  const fs::path next = entry == ".." ? fs::path(folder_).parent_path() : fs::path(folder_) / entry;
  std::error_code ec;
  if (!fs::is_directory(next, ec))
    return;
  folder_ = next.string();
  name.clear();
  List();
}

std::optional<std::string> TFileDialogModel::Choice() const {
  std::error_code ec;
  if (kind_ == TFileDialogKind::Directory)
    return fs::is_directory(folder_, ec) ? std::optional(folder_) : std::nullopt;
  if (name.empty() || name.find('/') != std::string::npos)
    return std::nullopt;
  const std::string path = (fs::path(folder_) / name).string();
  if (kind_ == TFileDialogKind::Open && !fs::is_regular_file(path, ec))
    return std::nullopt;
  return path;
}

std::optional<std::string> RunFileDialog(IDialogHost& host, TFileDialogKind kind,
                                         const std::string& folder,
                                         const std::string& sjis_filter) {
  TFileDialogModel model(kind, folder, sjis_filter);
  const TShellTexts& t = ShellTexts();
  std::optional<std::string> answer;
  char typed[512] = {};
  TDialogLayout layout;
  layout.sjis_caption = kind == TFileDialogKind::Directory ? t.select_folder_caption
                        : kind == TFileDialogKind::Save    ? t.save_file_caption
                                                           : t.open_file_caption;
  layout.client_width = 520;
  layout.client_height = 380;
  layout.utf8_texts = SjisToUtf8(layout.sjis_caption + t.ok + t.cancel);
  host.Run(layout, [&] {
    ImGui::TextUnformatted(model.Folder().c_str());
    if (ImGui::BeginListBox("##entries", ImVec2(-1, 260))) {
      if (ImGui::Selectable("[..]"))
        model.Enter("..");
      for (const TFileDialogModel::Entry& e : std::vector(model.Entries())) {
        const std::string label = e.folder ? "[" + e.name + "]" : e.name;
        if (ImGui::Selectable(label.c_str(), !e.folder && e.name == model.name,
                              ImGuiSelectableFlags_AllowDoubleClick)) {
          if (e.folder) {
            model.Enter(e.name);
          } else {
            model.name = e.name;
            std::snprintf(typed, sizeof typed, "%s", e.name.c_str());
          }
        }
      }
      ImGui::EndListBox();
    }
    if (kind != TFileDialogKind::Directory) {
      ImGui::SetNextItemWidth(-1);
      if (ImGui::InputText("##name", typed, sizeof typed))
        model.name = typed;
    }
    const bool ok = ImGui::Button(SjisToUtf8(t.ok).c_str(), ImVec2(90, 0)) ||
                    ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter), false);
    ImGui::SameLine();
    const bool cancel = ImGui::Button(SjisToUtf8(t.cancel).c_str(), ImVec2(90, 0)) ||
                        ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false);
    if (cancel)
      return false;
    if (ok) {
      std::optional<std::string> choice = model.Choice();
      std::error_code ec;
      if (choice && kind == TFileDialogKind::Save && fs::exists(*choice, ec)) {
        std::string text = t.overwrite_question;
        text.replace(text.find("%s"), 2, Utf8ToSjis(*choice));
        if (ShowMessageBox(text, layout.sjis_caption, TMsgButtons::YesNo, TMsgIcon::Question) !=
            TMsgResult::Yes)
          choice.reset();
      }
      if (choice) {
        answer = choice;
        return false;
      }
    }
    return true;
  });
  return answer;
}

TFileChooser MakeFileChooser(bool headless, std::vector<std::string> answers) {
  if (headless) {
    auto left = std::make_shared<std::vector<std::string>>(std::move(answers));
    return [left](TFileDialogKind, const std::string&) -> std::optional<std::string> {
      if (left->empty())
        return std::nullopt;
      std::string answer = left->front();
      left->erase(left->begin());
      std::fprintf(stderr, "[file dialog] -> %s\n", answer.empty() ? "cancel" : answer.c_str());
      return answer.empty() ? std::nullopt : std::optional(answer);
    };
  }
  return [](TFileDialogKind kind, const std::string& sjis_filter) -> std::optional<std::string> {
    std::string start = UserFolder(TUserFolder::Desktop);
    std::error_code ec;
    if (!fs::is_directory(start, ec))
      start = fs::current_path(ec).string();
    try {
      return RunFileDialog(*CreateSdlDialogHost(), kind, start, sjis_filter);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "file dialog: %s\n", SjisToUtf8(e.what()).c_str());
      return std::nullopt;
    }
  };
}

} // namespace nova
