// SPDX-License-Identifier: MIT
// CD audio from ripped tracks: "CD_n" plays track n from a folder of rips (cd_tracks.h). A
// track that is not there plays nothing and has length 0. Only one CD item sounds at a time:
// playing one pauses the one played before.
#pragma once
#include <memory>
#include <string>

#include "media/library_sound.h"
#include "media/media_system.h"

namespace nova {

class TCddaItem;

class TCddaManager final : public TMediaManager {
public:
  explicit TCddaManager(TMediaContext& context) : context_(context) {}
  ~TCddaManager() override { DetachAll(); }
  // Null for a name that is not "CD_" and a number.
  std::unique_ptr<TDMediaItem> Add(const std::string& name) override;
  // The item played last, which another item's Play stops.
  void SetCurrent(TCddaItem* item);
  void Forget(TCddaItem* item);

private:
  TMediaContext& context_;
  TCddaItem* current_ = nullptr;
};

class TCddaItem final : public TDMediaItem {
public:
  TCddaItem(TCddaManager& manager, IAudioOutput& output, const std::string& track_file);
  ~TCddaItem() override;
  bool GetAutoRepeat() const override { return repeat_; }
  void SetAutoRepeat(bool on) override;
  int32_t GetVolume() const override { return volume_; }
  void SetVolume(int32_t volume) override;
  int32_t GetPosition() const override;
  void SetPosition(int32_t ms) override;
  int32_t GetLength() const override { return sound_ ? sound_->GetLength() : 0; }
  bool IsEnd() override;
  bool IsPlaying() const override { return sound_ && sound_->IsPlaying(); }
  bool IsPaused() const override { return sound_ && sound_->IsPaused(); }
  void Play() override;
  void Pause() override;

protected:
  void ReleaseBackEnd() override;

private:
  TCddaManager& cd_;
  std::unique_ptr<TLibrarySound> sound_; // null: no such track
  bool repeat_ = false;
  bool played_ = false;
  int32_t volume_ = 0;
};

} // namespace nova
