// SPDX-License-Identifier: MIT
// The sound and the video: components that drive a media item, start it now or with a fade,
// stop it, fade it out, and tell scripts when it ends.
#pragma once
#include <memory>
#include <string>

#include "scene/kinds/custom_image.h"
#include "scene/kinds/media_fader.h"
#include "scene/kinds/media_services.h"
#include "scene/prop_groups.h"

namespace nova {

// Play states of media components: 0 start now, 1 start with a fade-in, 2 stop, 3 fade out.
constexpr int32_t kPlayNow = 0, kPlayFadeIn = 1, kPlayStop = 2, kPlayFadeOut = 3;
// A sound shorter than this that does not repeat is saved as stopped.
constexpr int32_t kShortSoundMs = 3000;

// What the media commands drive, whatever the kind.
class IMediaComponent {
public:
  virtual ~IMediaComponent() = default;
  virtual int32_t PlayState() const = 0;
  virtual void SetPlayState(int32_t state) = 0;
  virtual const std::string& MediaSource() const = 0;
};

class TNovaSound : public TNovaComponent, public IMediaComponent {
public:
  explicit TNovaSound(TNovaBaseList* owner) : TNovaComponent(owner) {}
  ~TNovaSound() override;
  uint8_t GetKind() const override { return LT_SOUND; }
  bool IsPaused() const override { return paused_ != 0; }
  bool Update() override;
  void Play() override;
  int32_t PlayState() const override { return state_; }
  void SetPlayState(int32_t state) override;
  const std::string& MediaSource() const override { return source_; }
  IMediaItem* Item() const { return item_.get(); }
  bool Ended() const { return ended_ != 0; }

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;

private:
  friend struct props::MediaGroup<TNovaSound>;
  void SetSource(const std::string& source);
  void SetRepeat(bool on);
  void SetVolume(int32_t volume);
  void SetBalance(int32_t balance);
  void SetIndex(int32_t ms);
  void SetPauseFlags(bool paused, bool ani_paused);
  void StartFadeIn();
  int32_t Length() const;
  int32_t ItemVolumeNow() const { return ItemVolume(source_, volume_); }

  std::string source_;
  int32_t state_ = kPlayStop;
  std::unique_ptr<IMediaItem> item_;
  uint8_t repeat_ = 0;
  int32_t repeat_pos_ = 0;
  uint8_t paused_ = 0, ani_paused_ = 0;
  int32_t volume_ = 1000;
  int32_t balance_ = 0;
  int32_t fade_ms_ = 0;
  std::unique_ptr<TNovaMixer> fader_;
  int32_t stored_pos_ = 0;
  uint8_t auto_scrap_ = 0;
  std::string play_end_handler_;
  uint8_t ended_ = 0, rewind_on_load_ = 0, mute_on_load_ = 0;
};

class TNovaVideo : public TNovaCustomImage, public IMediaComponent {
public:
  explicit TNovaVideo(TNovaBaseList* owner) : TNovaCustomImage(owner) {}
  ~TNovaVideo() override;
  uint8_t GetKind() const override { return LT_VIDEO; }
  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return idle_handler_; }
  bool Update() override;
  void Draw() override;
  void Play() override;
  int32_t PlayState() const override { return state_; }
  void SetPlayState(int32_t state) override;
  const std::string& MediaSource() const override { return source_; }
  void PositionChanged() override;
  void EnterCabinet() override;
  void LeaveCabinet() override;
  IMediaItem* Item() const { return item_.get(); }

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  bool AutoScrap() const override { return auto_scrap_ != 0; }
  const std::string& PlayEndHandler() const override { return play_end_handler_; }

private:
  friend struct props::MediaGroup<TNovaVideo>;
  void SetSource(const std::string& source);
  void SetVolume(int32_t volume);
  void SetBalance(int32_t balance);
  void SetRepeat(bool on);
  void SetIndex(int32_t ms);
  int32_t Length() const;
  void SetPauseFlags(bool paused, bool ani_paused);
  void SetOverlay(bool on);
  void ReleaseItem();
  // Places the platform window of an overlay video over its visible part.
  void PlaceWindow();
  int32_t ItemVolumeNow() const { return ItemVolume(source_, volume_); }

  std::string source_;
  int32_t state_ = kPlayStop;
  std::unique_ptr<IMediaItem> item_;
  std::unique_ptr<TDIBX> frame_;
  uint8_t repeat_ = 0, auto_scrap_ = 0, paused_ = 0;
  int32_t volume_ = 1000, balance_ = 0, fade_ms_ = 0;
  std::unique_ptr<TNovaMixer> fader_;
  int32_t stored_pos_ = 0;
  std::string play_end_handler_, idle_handler_;
  int64_t start_ms_ = 0, last_refresh_ms_ = 0;
  uint8_t rewind_on_load_ = 0, overlay_ = 1, mute_on_load_ = 0;
};

} // namespace nova
