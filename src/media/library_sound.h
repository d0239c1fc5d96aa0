// SPDX-License-Identifier: MIT
// A sound the media library plays itself: a decoding stream rendered straight on the audio
// output, converted to its rate, with volume in hundredths of a decibel, pan, and repeat from a
// position. Controlled from the main thread, rendered on the output's thread under its own lock.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "media/decode_stream.h"
#include "platform/audio_output.h"

namespace nova {

class TLibrarySound final : public IAudioSource {
public:
  TLibrarySound(IAudioOutput& output, std::unique_ptr<TDecodeStream> stream);
  ~TLibrarySound() override;
  TLibrarySound(const TLibrarySound&) = delete;
  TLibrarySound& operator=(const TLibrarySound&) = delete;

  void Play();
  void Pause();
  // Started and neither paused nor at its end.
  bool IsPlaying() const;
  bool IsPaused() const;
  // The end was reached (without repeat) since the last Play or SetPosition.
  bool IsEnd() const;
  int32_t GetLength() const;
  int32_t GetPosition() const;
  void SetPosition(int32_t ms);
  bool GetAutoRepeat() const;
  void SetAutoRepeat(bool on);
  int32_t GetRepeatPos() const;
  void SetRepeatPos(int32_t ms);
  int32_t GetVolume() const;
  void SetVolume(int32_t volume);
  int32_t GetPan() const;
  void SetPan(int32_t pan);

  void Render(int16_t* out, size_t frames) override;

private:
  // Source frames in 16-bit samples of the source's channels; 0 at the end (after repeat).
  size_t ReadSource(size_t frames);
  void UpdateGains();
  int64_t MsToBytes(int32_t ms) const;

  IAudioOutput& output_;
  mutable std::mutex lock_;
  std::unique_ptr<TDecodeStream> stream_;
  std::unique_ptr<IAudioResampler> resampler_;
  bool playing_ = false, paused_ = false, end_ = false, drained_ = false;
  bool repeat_ = false;
  int32_t repeat_ms_ = 0;
  int32_t volume_ = 0, pan_ = 0;
  int32_t gain_left_ = 32768, gain_right_ = 32768; // Q15
  // The audible position: the source time at the anchor plus the output frames since.
  int64_t anchor_ms_ = 0;
  int64_t frames_since_anchor_ = 0;
  std::vector<uint8_t> raw_;
  std::vector<int16_t> source_;
  std::vector<int16_t> converted_;
};

} // namespace nova
