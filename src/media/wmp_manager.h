// SPDX-License-Identifier: MIT
// The Windows-Media manager: ".wma", ".asf" and ".wmv" sound, decoded with FFmpeg and played by
// the media library itself.
#pragma once
#include <memory>

#include "media/library_sound.h"
#include "media/media_system.h"

namespace nova {

class TWmpManager final : public TMediaManager {
public:
  explicit TWmpManager(TMediaContext& context) : context_(context) {}
  ~TWmpManager() override { DetachAll(); }
  std::unique_ptr<TDMediaItem> Add(const std::string& name) override;

private:
  TMediaContext& context_;
};

// A sound the library plays from a copy of the whole resource. Its end stays latched until it
// is moved. Damaged data plays as silence that ends at once.
class TWmpItem final : public TDMediaItem {
public:
  TWmpItem(TMediaManager& manager, IAudioOutput& output, const std::string& name);
  bool GetAutoRepeat() const override { return sound_ && sound_->GetAutoRepeat(); }
  void SetAutoRepeat(bool on) override;
  int32_t GetPan() const override { return sound_ ? sound_->GetPan() : 0; }
  int32_t GetVolume() const override { return sound_ ? sound_->GetVolume() : 0; }
  void SetPan(int32_t pan) override;
  void SetVolume(int32_t volume) override;
  int32_t GetPosition() const override { return sound_ ? sound_->GetPosition() : 0; }
  void SetPosition(int32_t ms) override;
  int32_t GetLength() const override { return sound_ ? sound_->GetLength() : 0; }
  bool IsEnd() override;
  bool IsPlaying() const override { return sound_ && sound_->IsPlaying(); }
  bool IsPaused() const override { return sound_ && sound_->IsPaused(); }
  void Play() override;
  void Pause() override;

protected:
  void ReleaseBackEnd() override { sound_.reset(); }

private:
  std::unique_ptr<TLibrarySound> sound_;
  bool end_ = false;
  bool played_ = false;
};

} // namespace nova
