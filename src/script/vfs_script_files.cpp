// SPDX-License-Identifier: MIT
#include "script/vfs_script_files.h"

#include <filesystem>

#include "script/install_settings.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/')
    folder += '/';
  return folder;
}

std::vector<uint8_t> ReadNative(const std::string& path) {
  TMemoryStream m;
  m.LoadFromFile(path);
  return {m.Bytes().begin(), m.Bytes().end()};
}

} // namespace

bool TVfsScriptFiles::Exists(const std::string& name) { return vfs_.Exists(name); }

std::vector<uint8_t> TVfsScriptFiles::Load(const std::string& name) {
  TMemoryStream m = vfs_.Load(name, kMaxScriptFileBytes);
  return {m.Bytes().begin(), m.Bytes().end()};
}

bool TVfsScriptFiles::PromptForDisk(int32_t disk, const TDiskTexts& texts) {
  TDiskPrompt prompt;
  prompt.prompt_format = texts.prompt_format;
  prompt.quit_message = texts.quit_message;
  prompt.caption = texts.caption;
  prompt.ask_ok_cancel = [this](const std::string& text, const std::string& caption) {
    return dialogs_.MessageBox(text, caption, TMsgButtons::OkCancel, TMsgIcon::Information) ==
           TMsgResult::Ok;
  };
  std::string title = texts.caption;
  prompt.install_matches = [title](const std::string& install_path, int n) {
    TNovaInstallSet install;
    install.Read(ReadNative(install_path), install_path);
    return install.title == title && install.disk == n;
  };
  prompt.close_window = [this] { dialogs_.CloseMainWindow(); };
  return vfs_.PromptForDisk(disk, prompt);
}

std::string TVfsTitleLocation::ExecutableFolder() {
  const std::string& exe = vfs_.ExecutablePath();
  if (exe.empty())
    return {};
  return WithSeparator(std::filesystem::path(exe).parent_path().string());
}

bool TVfsTitleLocation::FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

std::vector<uint8_t> TVfsTitleLocation::ReadFile(const std::string& path) {
  return ReadNative(path);
}

std::vector<std::string> TVfsTitleLocation::CdRomRoots() {
  std::vector<std::string> roots;
  for (const std::string& root : vfs_.CdromRoots())
    roots.push_back(WithSeparator(root));
  return roots;
}

std::string TVfsTitleLocation::BaseFolder() { return vfs_.BaseFolder(); }

void TVfsTitleLocation::SetBaseFolder(const std::string& folder) { vfs_.SetBaseFolder(folder); }

int32_t TVfsTitleLocation::ArchiveCount() { return vfs_.Count(); }

void TVfsTitleLocation::AddArchive(const std::string& path) { vfs_.AddArchive(path); }

} // namespace nova
