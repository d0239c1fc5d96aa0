// SPDX-License-Identifier: MIT
// A movie's sound track as a source of the player's output. The main thread decodes ahead of
// the movie's time into a small queue; the output pulls it at its own pace and applies the
// item's volume and pan.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/audio_output.h"

namespace nova {

class TVideoSound final : public IAudioSource {
public:
  // Registers with `output` (which must outlive this) and unregisters when destroyed.
  explicit TVideoSound(IAudioOutput& output);
  ~TVideoSound() override;
  TVideoSound(const TVideoSound&) = delete;
  TVideoSound& operator=(const TVideoSound&) = delete;

  void Render(int16_t* out, size_t frames) override;

  // Appends interleaved stereo frames; what does not fit in the queue is dropped.
  void Push(const std::vector<int16_t>& samples);
  void Clear();
  size_t QueuedFrames() const;
  // A silent source keeps its queue (a paused movie resumes where its sound stopped).
  void SetRunning(bool on) { running_ = on; }
  // -5000 (silent) .. 0 (full); pan -10000 (left) .. 10000 (right).
  void SetVolume(int32_t volume) { volume_ = volume; }
  void SetPan(int32_t pan) { pan_ = pan; }

  static constexpr size_t kCapacityFrames = kAudioOutputRate * 2;

private:
  IAudioOutput& output_;
  mutable std::mutex lock_;
  std::vector<int16_t> ring_;   // kCapacityFrames stereo frames
  size_t head_ = 0, count_ = 0; // in frames
  std::atomic<bool> running_{false};
  std::atomic<int32_t> volume_{0}, pan_{0};
};

} // namespace nova
