// SPDX-License-Identifier: MIT
#include "media/media_system.h"

#include "media/cdda_manager.h"
#include "media/ogg_manager.h"
#include "media/wmp_manager.h"

namespace nova {

namespace {

constexpr TMediaKind kSoundKinds[] = {TMediaKind::WindowsMedia, TMediaKind::Ogg,
                                      TMediaKind::CdAudio, TMediaKind::Midi};

} // namespace

TMediaSystem::TMediaSystem(IAudioOutput& output, IClock& clock, TMediaSettings settings,
                           TMediaPlugins plugins)
    : context_{output, clock, std::move(settings)} {
  auto& m = managers_;
  if (plugins.video)
    m[static_cast<int>(TMediaKind::Video)] = plugins.video(context_);
  m[static_cast<int>(TMediaKind::WindowsMedia)] = std::make_unique<TWmpManager>(context_);
  m[static_cast<int>(TMediaKind::Ogg)] = std::make_unique<TOggManager>(context_);
  m[static_cast<int>(TMediaKind::CdAudio)] = std::make_unique<TCddaManager>(context_);
  if (plugins.midi)
    m[static_cast<int>(TMediaKind::Midi)] = plugins.midi(context_);
}

TMediaSystem::~TMediaSystem() {
  for (auto& manager : managers_)
    manager.reset();
}

std::unique_ptr<TDMediaItem> TMediaSystem::CreateItem(TMediaKind kind, const std::string& name) {
  TMediaManager* manager = Manager(kind);
  return manager ? manager->Add(name) : nullptr;
}

void TMediaSystem::Suspend() {
  if (TMediaManager* video = Manager(TMediaKind::Video))
    video->Suspend();
  for (TMediaKind kind : kSoundKinds)
    if (TMediaManager* m = Manager(kind); m && m->Active())
      m->Suspend();
}

void TMediaSystem::Resume() {
  if (TMediaManager* video = Manager(TMediaKind::Video))
    video->Resume();
  for (TMediaKind kind : kSoundKinds)
    if (TMediaManager* m = Manager(kind); m && m->Active())
      m->Resume();
}

void TMediaSystem::SetSoundOn(bool on) {
  for (TMediaKind kind : kSoundKinds)
    if (TMediaManager* m = Manager(kind))
      m->SetActive(on);
}

void TMediaSystem::Update() {
  for (auto& manager : managers_)
    if (manager)
      manager->Update();
}

} // namespace nova
