// SPDX-License-Identifier: MIT
#include "shell/media_binding.h"

#include <algorithm>
#include <filesystem>

#include "base/run_state.h"
#include "platform/audio_output.h"
#include "platform/clock.h"
#include "scene/nova_base_list.h"
#include "shell/form_view.h"
#include "shell/ini_file.h"
#include "shell/media_library_adapter.h"
#include "shell/player_hooks.h"
#include "shell/run_config.h"
#include "vfs/vr_file_manager.h"

namespace nova {

namespace {

// The folder of ripped CD tracks: [Sound] CDTracks of game.ini, else its CDDrive (the drive
// setting names the rips' folder here; a bare drive letter names none), relative to the title
// folder; else the title folder itself.
std::string CdTracksFolder() {
  const std::filesystem::path base = FileManager().BaseFolder();
  TIniFile ini;
  ini.Load(base / kRunConfigFileName);
  std::string named = ini.ReadString("Sound", "CDTracks", "");
  if (named.empty()) {
    named = ini.ReadString("Sound", "CDDrive", "");
    if (named.size() == 1 || (named.size() == 2 && named[1] == ':'))
      named.clear();
  }
  if (named.empty())
    return base.string();
  const std::filesystem::path folder = named;
  return (folder.is_absolute() ? folder : base / folder).string();
}

} // namespace

TMediaBinding::TMediaBinding(TFormView& form, TPlayerHooks& hooks, TMediaBindingOptions options)
    : form_(form), hooks_(hooks), options_(std::move(options)) {
  form.InitSteps().Set("DXSound.Initialize", [this] { OpenOutput(); });
  form.InitSteps().Append("MediaInit", [this] { Start(); });
  form.ShutdownSteps().Append("MediaFinal", [this] { Stop(); });
  hooks_.media_pause = [this] {
    if (media_)
      media_->Suspend();
  };
  hooks_.media_resume = [this] {
    if (media_)
      media_->Resume();
  };
  hooks_.media_sound_on = [this](bool on) {
    if (media_)
      media_->SetSoundOn(on);
  };
  hooks_.media_step = [this] { Step(); };
}

TMediaBinding::~TMediaBinding() { Stop(); }

void TMediaBinding::OpenOutput() {
  if (options_.headless) {
    auto headless = CreateHeadlessAudioOutput(options_.audio_out);
    headless_ = headless.get();
    output_ = std::move(headless);
  } else {
    output_ = CreateSdlAudioOutput();
  }
}

void TMediaBinding::Start() {
  if (!output_)
    OpenOutput();
  const TRunConfig& run = form_.RunConfig();
  TMediaSettings settings;
  settings.direct_sound = run.direct_sound;
  settings.delay_time_ms = EffectiveDelayTime(run.delay_time_ms);
  settings.use_wmp = run.use_wmp;
  settings.cd_tracks_folder = CdTracksFolder();
  settings.mixing = options_.headless ? TMixingMode::OnRender : TMixingMode::Thread;
  media_ = std::make_unique<TMediaSystem>(*output_, PlatformClock(), std::move(settings),
                                          options_.plugins);
  library_ = std::make_unique<TMediaLibraryAdapter>(*media_);
  if (TNovaBaseList* scene = scene_ ? scene_() : nullptr) {
    TMediaServices services = scene->Services().media;
    services.library = library_.get();
    scene->SetMediaServices(std::move(services));
  }
}

void TMediaBinding::Stop() {
  if (!media_)
    return;
  if (TNovaBaseList* scene = scene_ ? scene_() : nullptr) {
    TMediaServices services = scene->Services().media;
    services.library = nullptr;
    scene->SetMediaServices(std::move(services));
  }
  media_.reset();
  library_.reset();
}

void TMediaBinding::Step() {
  // Headless sound follows the game clock exactly: the frames due by now, never wall time.
  if (headless_)
    headless_->RenderUntil(static_cast<uint64_t>(std::max<int64_t>(RunState().GameClock, 0)) *
                           kAudioOutputRate / 1000);
  if (media_)
    media_->Update();
}

} // namespace nova
