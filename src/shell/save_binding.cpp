// SPDX-License-Identifier: MIT
#include "shell/save_binding.h"

#include <cstdio>

#include "base/sjis.h"
#include "expr/random.h"
#include "platform/message_box.h"
#include "script/call_man.h"
#include "script/game_save.h"
#include "script/platform_script_dialogs.h"
#include "script/project.h"
#include "script/save_behaviours.h"
#include "script/save_file.h"
#include "script/save_funcs.h"
#include "script/script_texts.h"
#include "shell/form_view.h"
#include "shell/player_hooks.h"
#include "shell/project_binding.h"
#include "shell/scene_binding.h"
#include "vfs/vr_file_manager.h"

namespace nova {
namespace {

// The first archive holds the memory files; it is made before any other.
TVrFileCollection& MemoryFiles() {
  if (FileManager().Count() == 0)
    FileManager().AddArchive("");
  return FileManager().Archive(0);
}

} // namespace

TSaveBinding::TSaveBinding(TFormView& form, TPlayerHooks& hooks, TProjectBinding& project,
                           TSceneBinding& scene, TSaveReport report)
    : form_(form), hooks_(hooks), project_(project), scene_(scene), report_(report) {
  form_.CreationSteps().Set("VrFileManager.AddFirstCollection", [] { MemoryFiles(); });
  hooks_.seed_random = [](uint32_t seed) { GlobalRandom().seed = seed; };
  project_.SetSaves(this);
}

TSaveBinding::~TSaveBinding() { project_.SetSaves(nullptr); }

void TSaveBinding::Report(const std::string& message) {
  std::fprintf(stderr, "novaplay: %s\n", SjisToUtf8(message).c_str());
  // A disk that refuses one write refuses the next: the player is told once.
  if (report_ == TSaveReport::MessageBox && !reported_) {
    reported_ = true;
    ShowMessageBox(message, ScriptText(TScriptText::CaptionWarning), TMsgButtons::Ok,
                   TMsgIcon::Warning);
  }
}

TSavedParts TSaveBinding::Parts(TProject& project) {
  auto* calls = dynamic_cast<TCallMan*>(project.interpreter());
  return TSavedParts{*scene_.Scene(), calls, *project_.Variables(), scene_.Images()};
}

TGameSave& TSaveBinding::Save(TProject& project) {
  if (save_)
    return *save_;
  const std::string folder = form_.Archives().base_folder.string();
  project.save_file_path = ResolveSaveFilePath(folder, UserDataHome(), project.title());
  file_ = std::make_unique<TSaveFile>(project.save_file_path,
                                      [this](const std::string& m) { Report(m); });
  dialogs_ = std::make_unique<TPlatformScriptDialogs>(nullptr);
  save_ = std::make_unique<TGameSave>(TGameSave::Context{project, *file_, *dialogs_, MemoryFiles()},
                                      [this, &project] { return Parts(project); });
  return *save_;
}

void TSaveBinding::RestoreStatusData(TProject& project) {
  if (scene_.Scene() && project_.Variables())
    Save(project).RestoreStatusData();
}

void TSaveBinding::ReadSaveTitles(TProject& project) { Save(project).ReadSaveTitles(); }

void TSaveBinding::WriteStatusData(TProject& project) {
  if (scene_.Scene() && project_.Variables())
    Save(project).WriteStatusData();
}

void TSaveBinding::LoadGame(TProject& project, int32_t slot) {
  if (scene_.Scene())
    Save(project).LoadGame(slot);
}

void TSaveBinding::SaveGame(TProject& project, int32_t slot, const std::string& title,
                            const std::string& resume_page, int32_t resume_index) {
  if (scene_.Scene())
    Save(project).SaveGame(slot, title, TResumePoint{resume_page, resume_index});
}

void TSaveBinding::ConnectInterpreter(TProject& project, TCallMan& calls, TExprHosts& hosts) {
  behaviours_ = std::make_unique<TSaveBehaviours>(project);
  behaviours_->Register(calls);
  funcs_ = std::make_unique<TSaveFuncs>(
      TSaveFuncs::Context{project, Save(project), MemoryFiles(), scene_.Scene(), scene_.Images()},
      hosts.funcs);
  hosts.funcs = funcs_.get();
}

void TSaveBinding::DisconnectInterpreter() {
  funcs_.reset();
  behaviours_.reset();
}

} // namespace nova
