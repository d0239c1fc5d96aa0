// SPDX-License-Identifier: MIT
#include "media/wmp_manager.h"

#include <algorithm>

#include "base/nova_error.h"
#include "media/media_source.h"

namespace nova {

std::unique_ptr<TDMediaItem> TWmpManager::Add(const std::string& name) {
  return std::make_unique<TWmpItem>(*this, context_.output, name);
}

TWmpItem::TWmpItem(TMediaManager& manager, IAudioOutput& output, const std::string& name)
    : TDMediaItem(manager) {
  try {
    sound_ = std::make_unique<TLibrarySound>(output, OpenFfmpegDecodeStream(OpenMediaStream(name)));
  } catch (const ENovaError&) {
    // The library plays what it cannot decode as nothing.
  }
}

void TWmpItem::SetAutoRepeat(bool on) {
  if (sound_)
    sound_->SetAutoRepeat(on);
}

void TWmpItem::SetPan(int32_t pan) {
  if (sound_)
    sound_->SetPan(pan);
}

void TWmpItem::SetVolume(int32_t volume) {
  if (sound_)
    sound_->SetVolume(std::max(volume, -5000));
}

void TWmpItem::SetPosition(int32_t ms) {
  end_ = false;
  if (sound_)
    sound_->SetPosition(std::max(ms, 0));
}

bool TWmpItem::IsEnd() {
  if (!end_)
    end_ = sound_ ? sound_->IsEnd() : played_;
  return end_;
}

void TWmpItem::Play() {
  if (Detached() || DeferPlay())
    return;
  played_ = true;
  if (sound_)
    sound_->Play();
}

void TWmpItem::Pause() {
  if (sound_)
    sound_->Pause();
}

} // namespace nova
