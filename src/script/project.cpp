// SPDX-License-Identifier: MIT
#include "script/project.h"

#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/sjis.h"
#include "platform/user_message.h"
#include "script/install_settings.h"
#include "script/script_texts.h"

namespace nova {
namespace {

constexpr char kProjectFile[] = "nova.npb";
constexpr char kOriginalProjectFile[] = "/original_nova.npb";
constexpr char kInstallFile[] = "install.dat";
constexpr char kArchiveFile[] = "game.dat";

// Lower-cased extension with its dot ("" when the name has none).
std::string ExtensionOf(const std::string& name) {
  for (size_t i = name.size(); i > 0; --i) {
    char c = name[i - 1];
    if (c == '\\' && !IsTrailByteAt(name, i - 1))
      break;
    if (c == '.')
      return LowerCaseJ(name.substr(i - 1));
  }
  return {};
}

} // namespace

TProject::TProject(Services services) : services_(services) {
  // Defaults until the project file is read.
  setting_.title = ScriptText(TScriptText::DefaultTitle);
  setting_.media_extensions = "wav.wma.ogg";
  setting_.disk_prompt = ScriptText(TScriptText::DefaultDiskPrompt);
  setting_.quit_message = ScriptText(TScriptText::DefaultQuitMessage);
}

TProject::~TProject() = default;

bool TProject::Start() {
  RunState().Terminating = true;
  if (services_.location && !CheckDataLocation())
    return false;

  if (!services_.files.Exists(kProjectFile))
    return false;
  std::vector<uint8_t> bytes = services_.files.Load(kProjectFile);
  if (bytes.empty()) {
    services_.dialogs.MessageBox(WithEnglishLine(ScriptText(TScriptText::NoProject),
                                                 std::string(kProjectFile) + " is empty."),
                                 ScriptText(TScriptText::CaptionWarning), TMsgButtons::Ok,
                                 TMsgIcon::Warning);
    return false;
  }
  TProjectSetting read;
  read.Read(bytes, kProjectFile);
  setting_ = std::move(read);

  IProjectHost& host = services_.host;
  host.SetApplicationTitle(setting_.title);
  host.SetTransitionCentre(setting_.scene_width / 2, setting_.scene_height / 2);
  host.RestoreStatusData(*this);
  for (const TParamData& v : setting_.variables) {
    if (!host.VariableExists(v.name))
      host.CreateStatusVariable(v);
  }
  RunState().Terminating = false;
  host.ReadSaveTitles(*this);

  if (services_.files.Exists(kOriginalProjectFile)) {
    TProjectSetting original;
    original.Read(services_.files.Load(kOriginalProjectFile), kOriginalProjectFile);
    setting_.folder_disks = std::move(original.folder_disks);
  }

  interpreter_ = host.CreateInterpreter(*this);
  if (PageExists(setting_.start_page)) {
    interpreter_->Start(setting_.start_page);
    return true;
  }
  services_.dialogs.MessageBox(
      WithEnglishLine(ScriptText(TScriptText::NoStartPage),
                      "The start page \"" + setting_.start_page + "\" named in " + kProjectFile +
                          " is not in the title."),
      ScriptText(TScriptText::CaptionWarning), TMsgButtons::Ok, TMsgIcon::Warning);
  RunState().Terminating = true;
  return false;
}

void TProject::Shutdown() {
  if (shut_down_)
    return;
  shut_down_ = true;
  if (interpreter_ && !setting_.exit_page.empty()) {
    // A failing exit page must not cost the player the status data, so the write below
    // happens either way.
    try {
      interpreter_->Start(setting_.exit_page);
      RunState().Terminating = false;
      interpreter_->Run();
      RunState().Terminating = true;
    } catch (const ENovaError&) {
      RunState().Terminating = true;
    }
  }
  services_.host.WriteStatusData(*this);
  interpreter_.reset();
  save_titles.clear();
  setting_.folder_disks.entries.clear();
}

void TProject::Step() {
  if (interpreter_)
    interpreter_->Run();
}

void TProject::RequestSave(int32_t slot, std::string title, std::string resume_page,
                           int32_t resume_index) {
  pending_save_ = slot;
  save_title_ = std::move(title);
  save_resume_page_ = std::move(resume_page);
  save_resume_index_ = resume_index;
}

bool TProject::DoDeferred() {
  // A slot below 0 is no request at all (the frame is drawn).
  bool loaded = false;
  if (int32_t slot = std::exchange(pending_load_, -1); slot >= 0) {
    services_.host.LoadGame(*this, slot);
    loaded = true;
  }
  if (int32_t slot = std::exchange(pending_save_, -1); slot >= 0)
    services_.host.SaveGame(*this, slot, save_title_, save_resume_page_, save_resume_index_);
  return loaded;
}

std::string TProject::SaveTitle(int32_t slot) const {
  for (const auto& [title, s] : save_titles)
    if (s == slot)
      return title;
  return {};
}

void TProject::SetSaveTitle(int32_t slot, const std::string& title) {
  for (auto& [t, s] : save_titles) {
    if (s == slot) {
      t = title;
      return;
    }
  }
  save_titles.emplace_back(title, slot);
}

bool TProject::PageExists(const std::string& name) {
  if (name.empty())
    return false;
  if (services_.files.Exists(name))
    return true;
  int32_t disk = setting_.folder_disks.DiskOfFile(name);
  if (disk == 0)
    return false;
  // Missing media never ask for a disk.
  std::string media = LowerCaseJ(setting_.media_extensions) + ".";
  if (media.find(ExtensionOf(name) + ".") != std::string::npos)
    return false;
  return services_.files.PromptForDisk(
      disk, {setting_.disk_prompt, setting_.quit_message, setting_.title});
}

bool TProject::CheckDataLocation() {
  ITitleLocation& loc = *services_.location;
  std::string exe = loc.ExecutableFolder();
  if (loc.FileExists(exe + kInstallFile) && loc.BaseFolder().empty())
    loc.SetBaseFolder(exe);
  if (!services_.files.Exists(kInstallFile)) {
    services_.dialogs.MessageBox(WithEnglishLine(ScriptText(TScriptText::Reinstall),
                                                 std::string(kInstallFile) +
                                                     " is missing: the title is not installed"
                                                     " beside the player in " +
                                                     exe + "."),
                                 ScriptText(TScriptText::CaptionInfo), TMsgButtons::Ok,
                                 TMsgIcon::Information);
    return false;
  }
  TNovaInstallSet install;
  install.Read(services_.files.Load(kInstallFile), kInstallFile);
  if (loc.FileExists(exe + kArchiveFile)) {
    loc.AddArchive(exe + kArchiveFile);
    if (install.fully_installed)
      return true;
  } else if (loc.ArchiveCount() > 0 && install.fully_installed) {
    return true;
  }
  while (true) {
    if (SearchCdRoms(install.title))
      return true;
    if (services_.dialogs.MessageBox(ScriptText(TScriptText::InsertDisk),
                                     ScriptText(TScriptText::CaptionInfo), TMsgButtons::OkCancel,
                                     TMsgIcon::Information) == TMsgResult::Ok) {
      continue;
    }
    if (services_.dialogs.MessageBox(setting_.quit_message, setting_.title, TMsgButtons::OkCancel,
                                     TMsgIcon::Information) == TMsgResult::Ok) {
      return false;
    }
  }
}

bool TProject::SearchCdRoms(const std::string& title) {
  ITitleLocation& loc = *services_.location;
  for (const std::string& root : loc.CdRomRoots()) {
    if (!loc.FileExists(root + kArchiveFile) || !loc.FileExists(root + kInstallFile))
      continue;
    TNovaInstallSet there;
    there.Read(loc.ReadFile(root + kInstallFile), root + kInstallFile);
    if (there.title != title)
      continue;
    loc.AddArchive(root + kArchiveFile);
    return true;
  }
  return false;
}

} // namespace nova
