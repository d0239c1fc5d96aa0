// SPDX-License-Identifier: MIT
#pragma once
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "expr/param_collection.h"
#include "scene/timer_list.h"
#include "script/call_man_host.h"
#include "script/project_services.h"
#include "shell/expr_clock.h"
#include "shell/project_saves.h"

namespace nova {

class TCallMan;
class TCallSystemVars;
class TComponentBehaviours;
class TComponentFuncs;
class TFormView;
class TNovaBaseList;
class TPlatformScriptDialogs;
class TReportFile;
class TProject;
class TVfsScriptFiles;
class TVfsTitleLocation;
struct TPlayerHooks;

// How the player was started, and the files it writes for those who inspect a run.
struct TProjectBindingOptions {
  bool title_given = false;   // the command line named the title (no data location check)
  std::string trace_file;     // every command and event started; empty: none
  std::string dump_vars_file; // every variable once the exit page ran; empty: none
};

// Binds the variable table, the title's files and the project with its interpreter into the
// shell's start-up, frame step and shutdown: `novaplay TITLE` runs the title's start page,
// one interpreter step a frame, and the exit page at close.
class TProjectBinding final : public IProjectHost, public ICallManHost {
public:
  TProjectBinding(TFormView& form, TPlayerHooks& hooks, TProjectBindingOptions options);
  ~TProjectBinding() override;
  TProjectBinding(const TProjectBinding&) = delete;
  TProjectBinding& operator=(const TProjectBinding&) = delete;

  // The scene whose event queue the interpreter runs and whose components send events (it is
  // created during start-up, so it is asked for when needed); without one the interpreter
  // keeps a queue of its own.
  void SetSceneSource(std::function<TNovaBaseList*()> scene) { scene_ = std::move(scene); }
  // Save and load (save_binding.h).
  void SetSaves(IProjectSaves* saves) { saves_ = saves; }
  TParamCollection* Variables() const { return vars_.get(); }
  TProject* Project() const { return project_.get(); }

  // IProjectHost
  void SetApplicationTitle(const std::string& title) override { title_ = title; }
  void SetTransitionCentre(int32_t, int32_t) override {}
  void RestoreStatusData(TProject& p) override {
    if (saves_)
      saves_->RestoreStatusData(p);
  }
  bool VariableExists(const std::string& name) override;
  void CreateStatusVariable(const TParamData& variable) override;
  void ReadSaveTitles(TProject& p) override {
    if (saves_)
      saves_->ReadSaveTitles(p);
  }
  std::unique_ptr<IProjectInterpreter> CreateInterpreter(TProject& project) override;
  void WriteStatusData(TProject& p) override {
    if (saves_)
      saves_->WriteStatusData(p);
  }
  void LoadGame(TProject& p, int32_t slot) override {
    if (saves_)
      saves_->LoadGame(p, slot);
  }
  void SaveGame(TProject& p, int32_t slot, const std::string& title, const std::string& page,
                int32_t index) override {
    if (saves_)
      saves_->SaveGame(p, slot, title, page, index);
  }

  // ICallManHost
  TTimerList& Events() override;
  std::string SenderName(const TNovaObject* sender) override;
  TNovaObject* FindComponent(const std::string& name) override;
  bool PageExists(const std::string& name) override;
  void ResetWorld() override;
  void CloseMainWindow() override;

private:
  void CreateProject();
  void FreeProject();
  void ReportStop(const std::string& message);
  // One line into the --trace file; a failed write ends the run.
  void Trace(const std::string& utf8_line);

  TFormView& form_;
  TPlayerHooks& hooks_;
  TProjectBindingOptions options_;
  TPlatformExprClock clock_;
  std::unique_ptr<TParamCollection> vars_;
  std::unique_ptr<TPlatformScriptDialogs> dialogs_;
  std::unique_ptr<TVfsScriptFiles> files_;
  std::unique_ptr<TVfsTitleLocation> location_;
  std::unique_ptr<TProject> project_;
  std::unique_ptr<TCallSystemVars> call_vars_;
  std::unique_ptr<TComponentBehaviours> component_commands_;
  std::unique_ptr<TComponentFuncs> component_funcs_;
  std::function<TNovaBaseList*()> scene_;
  IProjectSaves* saves_ = nullptr;
  TNovaBaseList* Scene() const { return scene_ ? scene_() : nullptr; }
  TTimerList own_events_;
  std::string title_;
  std::unique_ptr<TReportFile> trace_;
};

} // namespace nova
