// SPDX-License-Identifier: MIT
#include "shell/midi_binding.h"

#include <filesystem>

#include "expr/param_collection.h"
#include "media/midi_manager.h"
#include "shell/form_view.h"
#include "shell/ini_file.h"
#include "shell/midi_system_vars.h"
#include "shell/player_hooks.h"
#include "shell/run_config.h"

namespace nova {

namespace {

// game.ini [Sound] SoundFont, relative to the title folder; empty when not set.
std::string ConfiguredSoundFont(const std::filesystem::path& base) {
  TIniFile ini;
  ini.Load(base / kRunConfigFileName);
  const std::filesystem::path named = ini.ReadString("Sound", "SoundFont", "");
  if (named.empty())
    return {};
  return (named.is_absolute() ? named : base / named).string();
}

} // namespace

TMidiBinding::TMidiBinding(TFormView& form, TPlayerHooks& hooks, TMidiBindingOptions options)
    : form_(form), options_(std::move(options)) {
  hooks.midi_close = [this] {
    if (TMidiManager* manager = Manager())
      manager->ReleaseDevice();
  };
  hooks.midi_reopen = [this] {
    if (TMidiManager* manager = Manager())
      manager->RestoreDevice();
  };
}

TMidiBinding::~TMidiBinding() = default;

TMediaManagerFactory TMidiBinding::Factory() {
  return [this](TMediaContext& context) -> std::unique_ptr<TMediaManager> {
    TMidiManagerSetup setup;
    setup.timing = options_.headless ? TMidiTiming::Pumped : TMidiTiming::Thread;
    setup.soundfont = ConfiguredSoundFont(form_.Archives().base_folder);
    // Headless runs must not depend on the machine's ports.
    setup.system_ports = !options_.headless;
    setup.audio = &context.output;
    setup.clock = &context.clock;
    setup.log_path = options_.log_path;
    return std::make_unique<TMidiManager>(std::move(setup));
  };
}

TMidiManager* TMidiBinding::Manager() const {
  TMediaSystem* media = media_ ? media_() : nullptr;
  return media ? dynamic_cast<TMidiManager*>(media->Manager(TMediaKind::Midi)) : nullptr;
}

void TMidiBinding::ServeSystemVariables(TParamCollection* vars) {
  if (!vars)
    return;
  ISystemVarHost*& system = vars->Hosts().system;
  vars_ = std::make_unique<TMidiSystemVars>([this] { return Manager(); }, system);
  system = vars_.get();
}

} // namespace nova
