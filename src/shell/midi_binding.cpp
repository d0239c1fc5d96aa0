// SPDX-License-Identifier: MIT
#include "shell/midi_binding.h"

#include "expr/param_collection.h"
#include "media/midi_manager.h"
#include "shell/form_view.h"
#include "shell/ini_file.h"
#include "shell/midi_media_item.h"
#include "shell/midi_system_vars.h"
#include "shell/player_hooks.h"
#include "shell/run_config.h"

namespace nova {

namespace {

// Runs `first` (when set), then `then`.
std::function<void()> Chain(std::function<void()> first, std::function<void()> then) {
  return [first = std::move(first), then = std::move(then)] {
    if (first)
      first();
    then();
  };
}

} // namespace

TMidiBinding::TMidiBinding(TFormView& form, TPlayerHooks& hooks, TMidiBindingOptions options)
    : form_(form), options_(std::move(options)) {
  hooks.update_step = Chain(std::move(hooks.update_step), [this] {
    if (manager_)
      manager_->Pump();
  });
  hooks.media_pause = Chain(std::move(hooks.media_pause), [this] {
    if (manager_)
      manager_->Suspend();
  });
  hooks.media_resume = Chain(std::move(hooks.media_resume), [this] {
    if (manager_)
      manager_->Resume();
  });
  hooks.midi_close = Chain(std::move(hooks.midi_close), [this] {
    if (manager_)
      manager_->ReleaseDevice();
  });
  hooks.midi_reopen = Chain(std::move(hooks.midi_reopen), [this] {
    if (manager_)
      manager_->RestoreDevice();
  });
}

TMidiBinding::~TMidiBinding() = default;

TMidiManager& TMidiBinding::Manager() {
  if (!manager_) {
    const std::filesystem::path base = form_.Archives().base_folder;
    TIniFile ini;
    ini.Load(base / kRunConfigFileName);
    std::string soundfont = ini.ReadString("Sound", "SoundFont", "");
    if (!soundfont.empty() && std::filesystem::path(soundfont).is_relative())
      soundfont = (base / soundfont).string();
    TMidiManagerSetup setup;
    setup.timing = options_.headless ? TMidiTiming::Pumped : TMidiTiming::Thread;
    setup.soundfont = soundfont;
    // Headless runs must not depend on the machine's ports.
    setup.system_ports = !options_.headless;
    setup.audio = options_.audio ? options_.audio() : nullptr;
    setup.log_path = options_.log_path;
    manager_ = std::make_shared<TMidiManager>(std::move(setup));
  }
  return *manager_;
}

std::unique_ptr<IMediaItem> TMidiBinding::CreateItem(const std::string& name) {
  Manager();
  return CreateMidiMediaItem(manager_, name);
}

void TMidiBinding::ServeSystemVariables(TParamCollection* vars) {
  if (!vars)
    return;
  ISystemVarHost*& system = vars->Hosts().system;
  vars_ = std::make_unique<TMidiSystemVars>([this] { return &Manager(); }, system);
  system = vars_.get();
}

} // namespace nova
