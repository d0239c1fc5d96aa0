// SPDX-License-Identifier: MIT
#include "media/library_sound.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace nova {

namespace {

// Source frames decoded per turn when the rate is converted.
constexpr size_t kChunkFrames = 1024;

// Hundredths of a decibel as a Q15 factor; -5000 and below are silence.
int32_t GainQ15(int32_t centibels) {
  if (centibels <= -5000)
    return 0;
  if (centibels >= 0)
    return 32768;
  return static_cast<int32_t>(std::lround(32768.0 * std::pow(10.0, centibels / 2000.0)));
}

} // namespace

TLibrarySound::TLibrarySound(IAudioOutput& output, std::unique_ptr<TDecodeStream> stream)
    : output_(output), stream_(std::move(stream)) {
  const TWaveFormat& f = stream_->Format();
  if (f.samples_per_sec != static_cast<uint32_t>(kAudioOutputRate) ||
      f.channels != kAudioOutputChannels)
    resampler_ = CreateAudioResampler(static_cast<int>(f.samples_per_sec), f.channels);
  output_.AddSource(this);
}

TLibrarySound::~TLibrarySound() { output_.RemoveSource(this); }

void TLibrarySound::Play() {
  std::lock_guard lock(lock_);
  playing_ = true;
  paused_ = false;
  end_ = false;
}

void TLibrarySound::Pause() {
  std::lock_guard lock(lock_);
  paused_ = true;
}

bool TLibrarySound::IsPlaying() const {
  std::lock_guard lock(lock_);
  return playing_ && !paused_ && !end_;
}

bool TLibrarySound::IsPaused() const {
  std::lock_guard lock(lock_);
  return paused_;
}

bool TLibrarySound::IsEnd() const {
  std::lock_guard lock(lock_);
  return end_;
}

int32_t TLibrarySound::GetLength() const {
  std::lock_guard lock(lock_);
  return stream_->GetLen();
}

int32_t TLibrarySound::GetPosition() const {
  std::lock_guard lock(lock_);
  const int64_t ms = anchor_ms_ + frames_since_anchor_ * 1000 / kAudioOutputRate;
  return static_cast<int32_t>(std::min<int64_t>(ms, stream_->GetLen()));
}

int64_t TLibrarySound::MsToBytes(int32_t ms) const {
  const TWaveFormat& f = stream_->Format();
  const int64_t frames = int64_t{std::max(ms, 0)} * f.samples_per_sec / 1000;
  return frames * f.block_align;
}

void TLibrarySound::SetPosition(int32_t ms) {
  std::lock_guard lock(lock_);
  ms = std::max(ms, 0);
  stream_->SetPos(MsToBytes(ms));
  if (resampler_)
    resampler_->Clear();
  end_ = false;
  drained_ = false;
  anchor_ms_ = std::min<int64_t>(ms, stream_->GetLen());
  frames_since_anchor_ = 0;
}

bool TLibrarySound::GetAutoRepeat() const {
  std::lock_guard lock(lock_);
  return repeat_;
}

void TLibrarySound::SetAutoRepeat(bool on) {
  std::lock_guard lock(lock_);
  repeat_ = on;
}

int32_t TLibrarySound::GetRepeatPos() const {
  std::lock_guard lock(lock_);
  return repeat_ms_;
}

void TLibrarySound::SetRepeatPos(int32_t ms) {
  std::lock_guard lock(lock_);
  repeat_ms_ = std::max(ms, 0);
}

int32_t TLibrarySound::GetVolume() const {
  std::lock_guard lock(lock_);
  return volume_;
}

void TLibrarySound::SetVolume(int32_t volume) {
  std::lock_guard lock(lock_);
  volume_ = std::clamp(volume, -10000, 0);
  UpdateGains();
}

int32_t TLibrarySound::GetPan() const {
  std::lock_guard lock(lock_);
  return pan_;
}

void TLibrarySound::SetPan(int32_t pan) {
  std::lock_guard lock(lock_);
  pan_ = std::clamp(pan, -10000, 10000);
  UpdateGains();
}

void TLibrarySound::UpdateGains() {
  // Pan attenuates the far side only, so the centre keeps the full level.
  gain_left_ = GainQ15(volume_ - std::max(pan_, 0));
  gain_right_ = GainQ15(volume_ + std::min(pan_, 0));
}

size_t TLibrarySound::ReadSource(size_t frames) {
  const TWaveFormat& f = stream_->Format();
  const size_t frame_bytes = f.block_align;
  if (frame_bytes == 0 || stream_->GetSize() <= 0)
    return 0;
  raw_.resize(frames * frame_bytes);
  size_t done = 0;
  while (done < raw_.size()) {
    if (stream_->GetPos() >= stream_->GetSize()) {
      if (!repeat_)
        break;
      // A repeat position past the end repeats the last frame rather than nothing.
      const int64_t start =
          std::min(MsToBytes(repeat_ms_), stream_->GetSize() - int64_t(frame_bytes));
      stream_->SetPos(start);
      anchor_ms_ = std::min(repeat_ms_, stream_->GetLen());
      frames_since_anchor_ = 0;
    }
    const int64_t got = stream_->Read(raw_.data() + done, static_cast<int64_t>(raw_.size() - done));
    if (got <= 0)
      break; // damage: the stream now ends here
    done += static_cast<size_t>(got);
  }
  const size_t samples = done / (f.bits_per_sample / 8);
  source_.resize(samples);
  if (f.bits_per_sample == 8) {
    for (size_t i = 0; i < samples; ++i)
      source_[i] = static_cast<int16_t>((int32_t{raw_[i]} - 128) * 256);
  } else {
    for (size_t i = 0; i < samples; ++i)
      source_[i] = static_cast<int16_t>(raw_[2 * i] | (raw_[2 * i + 1] << 8));
  }
  return done / frame_bytes;
}

void TLibrarySound::Render(int16_t* out, size_t frames) {
  std::lock_guard lock(lock_);
  size_t done = 0;
  if (playing_ && !paused_ && !end_) {
    while (done < frames) {
      if (resampler_) {
        done += resampler_->Get(out + done * kAudioOutputChannels, frames - done);
        if (done >= frames || drained_)
          break;
        const size_t n = ReadSource(kChunkFrames);
        if (n == 0) {
          resampler_->Flush();
          drained_ = true;
          continue;
        }
        resampler_->Put(source_.data(), n);
      } else {
        const size_t n = ReadSource(frames - done);
        if (n == 0)
          break;
        std::memcpy(out + done * kAudioOutputChannels, source_.data(),
                    n * kAudioOutputChannels * sizeof(int16_t));
        done += n;
      }
    }
    for (size_t i = 0; i < done; ++i) {
      int16_t* frame = out + i * kAudioOutputChannels;
      frame[0] = static_cast<int16_t>((int32_t{frame[0]} * gain_left_) >> 15);
      frame[1] = static_cast<int16_t>((int32_t{frame[1]} * gain_right_) >> 15);
    }
    frames_since_anchor_ += static_cast<int64_t>(done);
    if (done < frames)
      end_ = true;
  }
  std::memset(out + done * kAudioOutputChannels, 0,
              (frames - done) * kAudioOutputChannels * sizeof(int16_t));
}

} // namespace nova
