// SPDX-License-Identifier: MIT
#include "shell/project_binding.h"

#include "base/extended_real.h"
#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/sjis.h"
#include "scene/message_records.h"
#include "scene/nova_base_list.h"
#include "script/call_man.h"
#include "script/call_system_vars.h"
#include "script/component_behaviours.h"
#include "script/component_funcs.h"
#include "script/platform_script_dialogs.h"
#include "script/project.h"
#include "script/text_behaviours.h"
#include "script/var_dump.h"
#include "script/vfs_script_files.h"
#include "shell/form_view.h"
#include "shell/player_hooks.h"
#include "shell/report_file.h"
#include "vfs/vr_file_manager.h"

namespace nova {

TProjectBinding::TProjectBinding(TFormView& form, TPlayerHooks& hooks,
                                 TProjectBindingOptions options)
    : form_(form), hooks_(hooks), options_(std::move(options)) {
  hooks_.set_base_folder = [](const std::filesystem::path& folder) {
    FileManager().SetBaseFolder(folder.string());
  };
  hooks_.add_archive = [](const std::filesystem::path& archive) {
    FileManager().AddArchive(archive.string());
  };
  form_.CreationSteps().Set("ParamMan.Create", [this] {
    vars_ = std::make_unique<TParamCollection>();
    vars_->Hosts().clock = &clock_;
  });
  form_.InitSteps().Set("TProject.Create", [this] { CreateProject(); });
  form_.ShutdownSteps().Set("Project.Free", [this] { FreeProject(); });
  form_.ShutdownSteps().Set("ParamMan.Free", [this] { vars_.reset(); });
  form_.ExitSteps().Set("VrFileManager.Free", [] { ResetFileManager(); });

  hooks_.has_project = [this] { return project_ != nullptr; };
  hooks_.interpreter_step = [this] { project_->Step(); };
  hooks_.deferred_save_load = [this] { return project_->DoDeferred(); };
  hooks_.project_title = [this] { return project_ ? project_->title() : title_; };
  hooks_.pause_when_inactive = [this] {
    return !project_ || project_->setting().pause_when_inactive;
  };
  hooks_.show_tool_bar = [this] { return !project_ || project_->setting().show_tool_bar; };
  hooks_.scene_size = [this] {
    if (!project_)
      return std::pair<int, int>(640, 480);
    return std::pair<int, int>(project_->setting().scene_width, project_->setting().scene_height);
  };
  hooks_.full_screen_size = [this] {
    if (!project_)
      return std::pair<int, int>(640, 480);
    return std::pair<int, int>(project_->setting().full_width, project_->setting().full_height);
  };
}

TProjectBinding::~TProjectBinding() = default;

void TProjectBinding::CreateProject() {
  if (!options_.trace_file.empty())
    trace_ = std::make_unique<TReportFile>("--trace", options_.trace_file);
  dialogs_ = std::make_unique<TPlatformScriptDialogs>([this] { CloseMainWindow(); });
  files_ = std::make_unique<TVfsScriptFiles>(FileManager(), *dialogs_);
  // Started without a title folder, the player checks where its data lies.
  if (!options_.title_given)
    location_ = std::make_unique<TVfsTitleLocation>(FileManager());
  // A folder without a project file is no title: the window closes without a word, and those
  // who started it from a console learn why.
  if (options_.title_given && !files_->Exists("nova.npb")) {
    std::fprintf(stderr, "novaplay: the title has no project file nova.npb\n");
    RunState().Terminating = true;
    form_.SetFailed();
    return;
  }
  project_ =
      std::make_unique<TProject>(TProject::Services{*files_, *dialogs_, *this, location_.get()});
  if (!project_->Start()) {
    RunState().Terminating = true;
    form_.SetFailed();
  }
}

void TProjectBinding::FreeProject() {
  if (project_)
    project_->Shutdown();
  // The exit page was the last to trace.
  if (trace_ && !trace_->Close())
    form_.SetFailed();
  if (!project_)
    return;
  if (!options_.dump_vars_file.empty() && vars_) {
    try {
      TReportFile out("--dump-vars", options_.dump_vars_file);
      out.Write(DumpVariables(*vars_));
      if (!out.Close())
        form_.SetFailed();
    } catch (const ENovaError& e) {
      std::fprintf(stderr, "novaplay: %s\n", SjisToUtf8(e.what()).c_str());
      form_.SetFailed();
    }
  }
  if (vars_)
    vars_->Hosts() = {};
  if (saves_)
    saves_->DisconnectInterpreter();
  project_.reset();
  call_vars_.reset();
  component_funcs_.reset();
  component_commands_.reset();
}

void TProjectBinding::ReportStop(const std::string& message) {
  // The player shows nothing when a command fails; those who run it from a console learn why.
  std::fprintf(stderr, "novaplay: the script stopped: %s\n", SjisToUtf8(message).c_str());
  form_.SetFailed();
  Trace("stopped: " + SjisToUtf8(message));
}

void TProjectBinding::Trace(const std::string& utf8_line) {
  if (!trace_ || trace_->Failed())
    return;
  trace_->WriteLine(utf8_line);
  // A trace with holes would mislead whoever reads it: the run ends instead.
  if (trace_->Failed()) {
    form_.SetFailed();
    RunState().Terminating = true;
    CloseMainWindow();
  }
}

bool TProjectBinding::VariableExists(const std::string& name) {
  return vars_->Find(name) != nullptr;
}

void TProjectBinding::CreateStatusVariable(const TParamData& variable) {
  vars_->Declare(variable.name, variable.type, TVarScope::Status, nullptr);
  TParamCollectionItem* item = vars_->Find(variable.name);
  if (!item || !item->Value())
    return;
  TCustomParam& value = *item->Value();
  switch (variable.type) {
  case PT_INT:
    value.SetInt(variable.int_value);
    break;
  case PT_FLOAT:
    value.SetReal(ExtendedFromBytes(variable.real_bytes));
    break;
  case PT_BOOL:
    value.SetFlag(variable.flag_value);
    break;
  case PT_STR:
    value.SetStr(variable.str_value);
    break;
  default:
    break;
  }
}

std::unique_ptr<IProjectInterpreter> TProjectBinding::CreateInterpreter(TProject& project) {
  auto calls = std::make_unique<TCallMan>(TCallMan::Context{*vars_, *files_, *dialogs_, *this});
  calls->SetStopReport([this](const std::string& message) { ReportStop(message); });
  if (trace_) {
    calls->SetTrace([this](const std::string& line) { Trace(SjisToUtf8(line)); });
  }
  TExprHosts& hosts = vars_->Hosts();
  call_vars_ = std::make_unique<TCallSystemVars>(*calls, hosts.system);
  hosts.call = calls.get();
  hosts.system = call_vars_.get();
  // Component commands and functions act on the scene, which exists from "NovaInitialize" on.
  if (TNovaBaseList* scene = Scene()) {
    component_commands_ = std::make_unique<TComponentBehaviours>(*scene);
    component_commands_->Register(*calls);
    ConnectTextSource(*scene, *calls);
    component_funcs_ = std::make_unique<TComponentFuncs>(*scene, hosts.funcs);
    hosts.funcs = component_funcs_.get();
  }
  if (saves_)
    saves_->ConnectInterpreter(project, *calls, hosts);
  return calls;
}

TTimerList& TProjectBinding::Events() {
  TNovaBaseList* scene = Scene();
  return scene ? scene->Events() : own_events_;
}

std::string TProjectBinding::SenderName(const TNovaObject* sender) {
  TNovaBaseList* scene = Scene();
  if (!scene || !sender || !scene->IsAlive(sender))
    return {};
  return sender->GetName();
}

TNovaObject* TProjectBinding::FindComponent(const std::string& name) {
  TNovaBaseList* scene = Scene();
  return scene && !name.empty() ? scene->FindByName(name) : nullptr;
}

bool TProjectBinding::PageExists(const std::string& name) {
  return project_ && project_->PageExists(name);
}

void TProjectBinding::ResetWorld() {
  if (TNovaBaseList* scene = Scene()) {
    scene->Reset();
    scene->MessageRecords().formats.ResetAll();
  } else {
    own_events_.Clear();
  }
}

void TProjectBinding::CloseMainWindow() {
  TWindowEvent close;
  close.kind = TWindowEventKind::Close;
  form_.HandleEvent(close);
}

} // namespace nova
