// SPDX-License-Identifier: MIT
// The Ogg/wave manager: ".ogg" and ".wav" resources. With [Sound] DirectSound on it makes
// TOggItems, played by the media library itself; off, it switches its wave output on and makes
// TOggWaveItems, decoded by the library and mixed by the wave output.
#pragma once
#include <memory>

#include "media/library_sound.h"
#include "media/media_system.h"
#include "media/wav_out.h"

namespace nova {

class TOggManager final : public TMediaManager {
public:
  explicit TOggManager(TMediaContext& context);
  ~TOggManager() override;
  std::unique_ptr<TDMediaItem> Add(const std::string& name) override;
  // Null when DirectSound is on.
  TWavOut* WaveOutput() const { return wav_out_.get(); }

private:
  TMediaContext& context_;
  std::unique_ptr<TWavOut> wav_out_;
};

// Played by the media library. Damaged data plays as silence that ends at once.
class TOggItem final : public TDMediaItem {
public:
  TOggItem(TMediaManager& manager, IAudioOutput& output, const std::string& name);
  bool GetAutoRepeat() const override;
  void SetAutoRepeat(bool on) override;
  int32_t GetRepeatPos() const override;
  void SetRepeatPos(int32_t ms) override;
  int32_t GetPan() const override;
  int32_t GetVolume() const override;
  void SetPan(int32_t pan) override;
  void SetVolume(int32_t volume) override;
  int32_t GetPosition() const override;
  void SetPosition(int32_t ms) override;
  int32_t GetLength() const override;
  bool IsEnd() override;
  bool IsPlaying() const override;
  bool IsPaused() const override;
  void Play() override;
  void Pause() override;

protected:
  void ReleaseBackEnd() override { sound_.reset(); }

private:
  std::unique_ptr<TLibrarySound> sound_; // null: the data could not be decoded
  bool paused_ = false;
  bool end_ = false;
  bool played_ = false;
};

// Decoded by the media library, mixed by the wave output.
class TOggWaveItem final : public TDMediaItem {
public:
  // ENovaError "サウンドデータが不正です" when the format cannot be read.
  TOggWaveItem(TMediaManager& manager, TWavOut& out, const std::string& name);
  ~TOggWaveItem() override;
  bool GetAutoRepeat() const override { return repeat_; }
  void SetAutoRepeat(bool on) override;
  int32_t GetRepeatPos() const override { return repeat_ms_; }
  void SetRepeatPos(int32_t ms) override;
  int32_t GetPan() const override { return pan_; }
  int32_t GetVolume() const override { return volume_; }
  void SetPan(int32_t pan) override { pan_ = pan; }
  void SetVolume(int32_t volume) override;
  int32_t GetPosition() const override;
  void SetPosition(int32_t ms) override;
  int32_t GetLength() const override;
  bool IsEnd() override;
  bool IsPlaying() const override;
  bool IsPaused() const override { return paused_; }
  void Play() override;
  void Pause() override;

  TWavBuffer* Buffer() const { return buffer_; }

protected:
  void ReleaseBackEnd() override;

private:
  // Milliseconds as bytes of the source, down to a whole frame.
  int64_t MsToBytes(int32_t ms) const;

  TWavOut* out_;
  TWavBuffer* buffer_ = nullptr;
  TWaveFormat format_;
  bool paused_ = false;
  bool repeat_ = false;
  int32_t repeat_ms_ = 0;
  int32_t volume_ = 0, pan_ = 0;
};

} // namespace nova
