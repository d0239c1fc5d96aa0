// SPDX-License-Identifier: MIT
// The player's own wave output: decoded sound sources (TWavBuffer) mixed with gain, repeat and
// saturation into blocks of DelayTime milliseconds of 44,100 Hz 16-bit stereo, at most two of
// them queued at the audio device, which plays them in order. In a window a thread of its own
// mixes every DelayTime / 4 ms; headless, the device's render mixes when it needs a block, so
// the blocks follow the virtual clock exactly. One lock guards buffers, lists and blocks.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "media/decode_stream.h"
#include "media/media_system.h"
#include "platform/audio_output.h"

namespace nova {

class IClock;
class TWavOut;

// One source: a decoding stream with its read position, gain (256 is unity) and repeat.
class TWavBuffer {
public:
  TWavBuffer(TWavOut& out, std::unique_ptr<TDecodeStream> stream);
  TWavBuffer(const TWavBuffer&) = delete;
  TWavBuffer& operator=(const TWavBuffer&) = delete;

  // Started, not stopping, not finished; mixed from the next block on.
  void Play();
  // Stopping: mixed no more until played again.
  void Stop();
  // Bytes of the decoding stream, down to a whole frame.
  void SetPosition(int64_t bytes);
  void SetGain(int32_t gain);
  void SetRepeat(bool on);
  // Bytes, down to a whole frame; a position at or past the end repeats the last frame.
  void SetRepeatPosition(int64_t bytes);
  // Finished, and its last block has had time to play.
  bool HasEnded() const;
  // The byte position that is audible now.
  int64_t PlayedBytes() const;
  bool IsStarted() const;
  bool IsStopping() const;
  bool IsFinished() const;
  int64_t ReadPosition() const;
  const TWaveFormat& Format() const { return format_; }
  // The stream's size in bytes and length in ms (fixed once it is open, or shrunk by damage).
  int64_t StreamSize() const;
  int32_t StreamLength() const;

private:
  friend class TWavOut;
  // Mixes into `block` (B / 2 samples); true when it contributed. Under the output's lock.
  bool MixInto(int16_t* block, uint32_t now_ms);
  // Reads `wanted` source bytes (repeating as told) into the scratch area; the bytes read.
  size_t ReadSource(size_t wanted);
  // Moves over `wanted` source bytes without decoding them (formats the mixer cannot convert).
  void SkipSource(int64_t wanted);
  int64_t RepeatStart() const;

  TWavOut& out_;
  std::unique_ptr<TDecodeStream> stream_;
  TWaveFormat format_;
  int64_t read_pos_ = 0;
  int32_t gain_ = 256;
  bool repeat_ = false;
  int64_t repeat_pos_ = 0;
  bool started_ = false, stopping_ = false, finished_ = false;
  bool mixed_ = false;
  uint32_t last_mix_ms_ = 0;
  std::vector<uint8_t> scratch_;
  std::vector<int16_t> converted_;
};

class TWavOut final : public IAudioSource {
public:
  TWavOut(IAudioOutput& device, IClock& clock, int delay_time_ms, TMixingMode mode);
  ~TWavOut() override;
  TWavOut(const TWavOut&) = delete;
  TWavOut& operator=(const TWavOut&) = delete;

  // Opens the device (registers with the audio output) and starts mixing. False when already
  // open or when there is no device.
  bool Open();
  // Stops mixing, frees every buffer, drops unplayed blocks and waits until the device plays
  // none any more.
  void Close();
  bool IsOpen() const;

  TWavBuffer* AddBuffer(std::unique_ptr<TDecodeStream> stream);
  void RemoveBuffer(TWavBuffer* buffer);

  // Called after a block is written, with its samples (under the lock, on the mixing thread).
  void SetNotification(std::function<void(const int16_t*, size_t samples)> notify);

  // One fill step: drops played blocks and mixes up to two new ones. The thread runs it; tests
  // may too.
  void FillStep();
  int DelayTime() const { return delay_ms_; }
  size_t BlockBytes() const { return block_bytes_; }
  size_t QueuedBlocks() const;

  // The device side: plays the queued blocks in order, silence when none is ready.
  void Render(int16_t* out, size_t frames) override;

private:
  friend class TWavBuffer;
  struct TBlock {
    std::vector<int16_t> samples;
    size_t played = 0; // samples the device has taken
    bool written = false;
  };
  void ThreadLoop();
  void DropPlayedBlocks();
  bool MixBlock(TBlock& block, uint32_t now_ms);
  uint32_t NowMs() const;

  IAudioOutput& device_;
  IClock& clock_;
  const int delay_ms_;
  const size_t block_bytes_;
  const TMixingMode mode_;
  mutable std::mutex lock_;
  bool open_ = false;
  std::vector<std::unique_ptr<TWavBuffer>> buffers_; // creation order
  std::vector<TWavBuffer*> active_;
  std::deque<TBlock> queued_;
  std::vector<TBlock> pool_;
  std::function<void(const int16_t*, size_t)> notify_;
  std::thread thread_;
  std::condition_variable wake_;
  bool stop_thread_ = false;
};

} // namespace nova
