// SPDX-License-Identifier: MIT
#include "media/ogg_manager.h"

#include <algorithm>
#include <cmath>

#include "base/nova_error.h"
#include "media/media_source.h"

namespace nova {

// --- TOggManager ---

TOggManager::TOggManager(TMediaContext& context) : context_(context) {
  if (!context.settings.direct_sound) {
    wav_out_ = std::make_unique<TWavOut>(context.output, context.clock,
                                         context.settings.delay_time_ms, context.settings.mixing);
    wav_out_->Open();
  }
}

TOggManager::~TOggManager() {
  DetachAll();
  wav_out_.reset();
}

std::unique_ptr<TDMediaItem> TOggManager::Add(const std::string& name) {
  if (wav_out_)
    return std::make_unique<TOggWaveItem>(*this, *wav_out_, name);
  return std::make_unique<TOggItem>(*this, context_.output, name);
}

// --- TOggItem ---

TOggItem::TOggItem(TMediaManager& manager, IAudioOutput& output, const std::string& name)
    : TDMediaItem(manager) {
  try {
    sound_ = std::make_unique<TLibrarySound>(
        output, OpenDecodeStream(OpenMediaStream(name), SoundCodingOf(name)));
  } catch (const ENovaError&) {
    // The library plays what it cannot decode as nothing.
  }
}

bool TOggItem::GetAutoRepeat() const { return sound_ && sound_->GetAutoRepeat(); }
void TOggItem::SetAutoRepeat(bool on) {
  if (sound_)
    sound_->SetAutoRepeat(on);
}
int32_t TOggItem::GetRepeatPos() const { return sound_ ? sound_->GetRepeatPos() : 0; }
void TOggItem::SetRepeatPos(int32_t ms) {
  if (sound_)
    sound_->SetRepeatPos(ms);
}
int32_t TOggItem::GetPan() const { return sound_ ? sound_->GetPan() : 0; }
int32_t TOggItem::GetVolume() const { return sound_ ? sound_->GetVolume() : 0; }
void TOggItem::SetPan(int32_t pan) {
  if (sound_)
    sound_->SetPan(pan);
}
void TOggItem::SetVolume(int32_t volume) {
  if (sound_)
    sound_->SetVolume(std::max(volume, -5000));
}
int32_t TOggItem::GetPosition() const { return sound_ ? sound_->GetPosition() : 0; }
void TOggItem::SetPosition(int32_t ms) {
  // Moving the sound makes a new end possible: the latch is cleared, else a sound that is
  // played again would report its old end at once.
  end_ = false;
  if (sound_)
    sound_->SetPosition(std::max(ms, 0));
}
int32_t TOggItem::GetLength() const { return sound_ ? sound_->GetLength() : 0; }

bool TOggItem::IsEnd() {
  if (!end_)
    end_ = sound_ ? sound_->IsEnd() : played_;
  return end_;
}

bool TOggItem::IsPlaying() const { return sound_ && sound_->IsPlaying() && !paused_; }
bool TOggItem::IsPaused() const { return paused_; }

void TOggItem::Play() {
  if (Detached() || DeferPlay())
    return;
  paused_ = false;
  played_ = true;
  if (sound_)
    sound_->Play();
}

void TOggItem::Pause() {
  paused_ = true;
  if (sound_)
    sound_->Pause();
}

// --- TOggWaveItem ---

TOggWaveItem::TOggWaveItem(TMediaManager& manager, TWavOut& out, const std::string& name)
    : TDMediaItem(manager), out_(&out) {
  std::unique_ptr<TDecodeStream> stream =
      OpenDecodeStream(OpenMediaStream(name), SoundCodingOf(name));
  format_ = stream->Format();
  buffer_ = out.AddBuffer(std::move(stream));
}

TOggWaveItem::~TOggWaveItem() { ReleaseBackEnd(); }

void TOggWaveItem::ReleaseBackEnd() {
  if (buffer_)
    out_->RemoveBuffer(buffer_);
  buffer_ = nullptr;
}

int64_t TOggWaveItem::MsToBytes(int32_t ms) const {
  // Whole frames only: a position inside a frame would mix the bytes shifted (noise, or left
  // and right swapped).
  const double bytes = static_cast<double>(std::max(ms, 0)) * format_.bits_per_sample *
                       format_.channels * format_.samples_per_sec / 8000.0;
  const int64_t frame = std::max<int64_t>(format_.block_align, 1);
  return static_cast<int64_t>(std::nearbyint(bytes)) / frame * frame;
}

void TOggWaveItem::SetAutoRepeat(bool on) {
  repeat_ = on;
  if (buffer_)
    buffer_->SetRepeat(on);
}

void TOggWaveItem::SetRepeatPos(int32_t ms) {
  repeat_ms_ = ms;
  if (buffer_)
    buffer_->SetRepeatPosition(MsToBytes(ms));
}

void TOggWaveItem::SetVolume(int32_t volume) {
  volume_ = volume;
  if (buffer_)
    buffer_->SetGain((std::clamp(volume, -5000, 0) + 5000) * 256 / 5000);
}

int32_t TOggWaveItem::GetPosition() const {
  if (!buffer_ || format_.avg_bytes_per_sec == 0)
    return 0;
  const double bytes_per_sec = static_cast<double>(format_.bits_per_sample) * format_.channels *
                               format_.samples_per_sec / 8.0;
  return static_cast<int32_t>(
      std::nearbyint(static_cast<double>(buffer_->PlayedBytes()) / bytes_per_sec * 1000.0));
}

void TOggWaveItem::SetPosition(int32_t ms) {
  if (buffer_)
    buffer_->SetPosition(MsToBytes(ms));
}

int32_t TOggWaveItem::GetLength() const { return buffer_ ? buffer_->StreamLength() : 0; }

bool TOggWaveItem::IsEnd() {
  if (!buffer_ || !buffer_->HasEnded())
    return false;
  if (repeat_) {
    // Repeat was switched on after the end: it starts again instead.
    buffer_->SetPosition(MsToBytes(repeat_ms_));
    buffer_->Play();
    return false;
  }
  return true;
}

bool TOggWaveItem::IsPlaying() const {
  return buffer_ && buffer_->IsStarted() && !buffer_->IsStopping() && !buffer_->IsFinished();
}

void TOggWaveItem::Play() {
  if (!buffer_ || DeferPlay())
    return;
  buffer_->Play();
  paused_ = false;
}

void TOggWaveItem::Pause() {
  if (buffer_)
    buffer_->Stop();
  paused_ = true;
}

} // namespace nova
