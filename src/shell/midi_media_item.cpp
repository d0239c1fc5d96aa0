// SPDX-License-Identifier: MIT
#include "shell/midi_media_item.h"

#include "media/midi_manager.h"

namespace nova {

namespace {

class TMidiMediaItem final : public IMediaItem {
public:
  TMidiMediaItem(const std::shared_ptr<TMidiManager>& manager, const std::string& name)
      : manager_(manager), item_(manager->Add(name)) {}
  ~TMidiMediaItem() override {
    if (auto manager = manager_.lock())
      manager->Remove(item_);
  }

  void SetAutoRepeat(bool on) override {
    if (Live())
      item_->SetAutoRepeat(on);
  }
  void SetRepeatPos(int32_t) override {} // a MIDI file always repeats from its start
  void SetPan(int32_t) override {}
  void SetVolume(int32_t volume) override {
    if (Live())
      item_->SetVolume(volume);
  }
  int32_t GetVolume() const override { return Live() ? item_->GetVolume() : 0; }
  int32_t GetPosition() const override { return Live() ? item_->GetPosition() : 0; }
  void SetPosition(int32_t ms) override {
    if (Live())
      item_->SetPosition(ms);
  }
  int32_t GetLength() const override { return Live() ? item_->GetLength() : 0; }
  // The sequencer stays at its end; the component hears of it once.
  bool IsEnd() override {
    if (!Live() || !item_->IsEnd()) {
      end_reported_ = false;
      return false;
    }
    if (end_reported_)
      return false;
    end_reported_ = true;
    return true;
  }
  bool IsPlaying() const override { return Live() && item_->IsPlaying(); }
  bool IsPaused() const override { return Live() && item_->IsPaused(); }
  void Play() override {
    end_reported_ = false;
    if (Live())
      item_->Play();
  }
  void Pause() override {
    if (Live())
      item_->Pause();
  }

private:
  bool Live() const { return !manager_.expired(); }

  std::weak_ptr<TMidiManager> manager_;
  TMidiItem* item_;
  bool end_reported_ = false;
};

} // namespace

std::unique_ptr<IMediaItem> CreateMidiMediaItem(const std::shared_ptr<TMidiManager>& manager,
                                                const std::string& name) {
  if (!manager)
    return nullptr;
  return std::make_unique<TMidiMediaItem>(manager, name);
}

} // namespace nova
