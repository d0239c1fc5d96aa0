// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cmath>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "scene/kinds/media_kinds.h"
#include "scene/nova_base_list.h"
#include "scene/prop_groups.h"

namespace nova {
namespace {

// A video asks for a repaint no more often than this.
constexpr int64_t kRefreshMs = 32;

int32_t Scaled(int32_t size, long double zoom) {
  const long double v = std::nearbyint(size * zoom);
  return std::isfinite(v) ? static_cast<int32_t>(std::clamp<long double>(v, 0, INT32_MAX)) : 0;
}

} // namespace

TNovaVideo::~TNovaVideo() {
  fader_.reset();
  SetSubstituteSurface(nullptr);
}

void TNovaVideo::ReleaseItem() {
  fader_.reset();
  item_.reset();
  SetSubstituteSurface(nullptr);
  frame_.reset();
}

void TNovaVideo::SetSource(const std::string& source) {
  if (source == source_)
    return;
  Invalidate();
  ReleaseItem();
  source_ = source;
  state_ = kPlayStop;
}

void TNovaVideo::SetPlayState(int32_t state) {
  fader_.reset();
  state_ = state;
  IMediaLibrary* lib = ServicesOf(owner_).media.library;
  if ((state == kPlayNow || state == kPlayFadeIn) && !item_) {
    if (!lib || !lib->FileExists(source_))
      return;
    item_ = lib->CreateVideo(source_, overlay_ != 0);
    if (!item_)
      return;
    item_->SetAutoRepeat(repeat_ != 0);
    const int bits = lib->ScreenBitCount() > 0 ? lib->ScreenBitCount() : 32;
    frame_ = std::make_unique<TDIBX>(std::max(1, item_->GetSourceWidth()),
                                     std::max(1, item_->GetSourceHeight()), bits);
    SetSubstituteSurface(frame_.get());
    SizeFromZoom();
    item_->SetPan(balance_);
    start_ms_ = RunState().GameClock;
    if (overlay_)
      PlaceWindow();
  } else if (state == kPlayStop && item_) {
    Invalidate();
    ReleaseItem();
    stored_pos_ = 0;
  }
  switch (state) {
  case kPlayNow:
    if (!item_)
      return;
    item_->SetVolume(ItemVolumeNow());
    item_->Play();
    if (paused_ || ani_paused_)
      item_->Pause();
    if (stored_pos_ >= 1)
      item_->SetPosition(stored_pos_);
    return;
  case kPlayFadeIn:
    if (item_ && !paused_ && !ani_paused_)
      fader_ = std::make_unique<TNovaMixerFadein>(item_.get(), IsMidiSource(source_),
                                                  ItemVolumeNow(), fade_ms_);
    return;
  case kPlayFadeOut:
    if (item_) {
      // The fade takes the item over; the picture goes at once.
      fader_ = std::make_unique<TNovaMixerFadeout>(nullptr, IsMidiSource(source_), fade_ms_);
      fader_->Hold(std::move(item_));
      Invalidate();
      SetSubstituteSurface(nullptr);
      frame_.reset();
      stored_pos_ = 0;
    } else {
      FreeLater();
    }
    return;
  default:
    return;
  }
}

void TNovaVideo::Play() {
  stored_pos_ = 0;
  paused_ = 0;
  if (item_)
    item_->SetPosition(0);
  SetPlayState(fade_ms_ > 0 ? kPlayFadeIn : kPlayNow);
}

bool TNovaVideo::Update() {
  if (TNovaCustomImage::Update())
    return true;
  if (item_) {
    if (overlay_ && item_->WindowVisible() != IsShown())
      PlaceWindow();
    const int64_t now = RunState().GameClock;
    if (now - last_refresh_ms_ > kRefreshMs) {
      last_refresh_ms_ = now;
      if (item_->NeedPaint())
        Invalidate();
    }
    if (item_->IsEnd() && !repeat_) {
      if (auto_scrap_)
        FreeLater();
      else if (!play_end_handler_.empty())
        QueueEvent(PR_ONPLAYEND, play_end_handler_);
    }
  }
  if (fader_ && fader_->Step(RunState().GameClock)) {
    const bool faded_out = dynamic_cast<TNovaMixerFadeout*>(fader_.get()) != nullptr;
    fader_.reset();
    if (faded_out) {
      Invalidate();
      return true;
    }
  }
  return false;
}

void TNovaVideo::Draw() {
  if (item_ && frame_)
    item_->CopyPicture(*frame_);
  TNovaCustomImage::Draw();
}

void TNovaVideo::PlaceWindow() {
  IMediaLibrary* lib = ServicesOf(owner_).media.library;
  if (!item_ || !lib)
    return;
  const int32_t sw = item_->GetSourceWidth(), sh = item_->GetSourceHeight();
  TSceneRect dest =
      TSceneRect::FromSize(ScreenLeft(), ScreenTop(), Scaled(sw, zoom_x_), Scaled(sh, zoom_y_));
  const TSceneRect full = dest;
  if (parent_)
    dest = dest.Intersect(parent_->GetHitRect());
  if (dest.Empty() || !IsShown() || full.Width() <= 0 || full.Height() <= 0) {
    item_->SetVisible(false);
    return;
  }
  // The part of the picture that remains, back in source pixels.
  const auto back = [](int32_t d, int32_t full_len, int32_t src_len) {
    return static_cast<int32_t>(int64_t{d} * src_len / full_len);
  };
  const int32_t sx = back(dest.Left - full.Left, full.Width(), sw);
  const int32_t sy = back(dest.Top - full.Top, full.Height(), sh);
  const int32_t sx2 = back(dest.Right - full.Left, full.Width(), sw);
  const int32_t sy2 = back(dest.Bottom - full.Top, full.Height(), sh);
  const int64_t scale = lib->DisplayScalePercent();
  const auto s = [scale](int32_t v) { return static_cast<int32_t>(v * scale / 100); };
  item_->SetRect(s(dest.Left), s(dest.Top), s(dest.Width()), s(dest.Height()), sx, sy, sx2 - sx,
                 sy2 - sy);
  item_->SetVisible(true);
}

void TNovaVideo::PositionChanged() {
  TNovaCustomImage::PositionChanged();
  if (overlay_ && item_)
    PlaceWindow();
}

void TNovaVideo::EnterCabinet() {
  if (item_)
    item_->SetVisible(false);
}

void TNovaVideo::LeaveCabinet() {
  if (overlay_ && item_)
    PlaceWindow();
}

void TNovaVideo::SetVolume(int32_t volume) {
  volume_ = volume;
  if (item_)
    item_->SetVolume(ItemVolumeNow());
  if (auto* fade_in = dynamic_cast<TNovaMixerFadein*>(fader_.get()))
    fade_in->SetTarget(ItemVolumeNow());
}

void TNovaVideo::SetBalance(int32_t balance) {
  balance_ = std::clamp(balance, -10000, 10000);
  if (item_)
    item_->SetPan(balance_);
}

void TNovaVideo::SetPauseFlags(bool paused, bool ani_paused) {
  if ((paused_ != 0) == paused && (ani_paused_ != 0) == ani_paused)
    return;
  paused_ = paused ? 1 : 0;
  ani_paused_ = ani_paused ? 1 : 0;
  if (!item_)
    return;
  if (paused || ani_paused)
    item_->Pause();
  else
    item_->Play();
}

void TNovaVideo::SetOverlay(bool on) {
  if ((overlay_ != 0) == on)
    return;
  overlay_ = on ? 1 : 0;
  if (!item_)
    return;
  // The item is made anew in the other mode and continues where it was.
  stored_pos_ = item_->GetPosition();
  const int32_t position = stored_pos_;
  SetPlayState(kPlayStop);
  stored_pos_ = position;
  SetPlayState(kPlayNow);
}

void TNovaVideo::SetRepeat(bool on) {
  repeat_ = on ? 1 : 0;
  if (item_)
    item_->SetAutoRepeat(on);
}

void TNovaVideo::SetIndex(int32_t ms) {
  stored_pos_ = ms;
  if (item_)
    item_->SetPosition(ms);
}

int32_t TNovaVideo::Length() const { return item_ ? item_->GetLength() : 0; }

const TPropTable& TNovaVideo::Props() {
  using T = TNovaVideo;
  using namespace props;
  constexpr auto follow_window = [](T& o) {
    if (o.overlay_ && o.item_)
      o.PlaceWindow();
  };
  static constexpr auto kRows = JoinRows(
      MediaGroup<T>::Rows(),
      std::array{
          Custom<T>(
              PR_PAUSED, peNone, [](const T& o) { return TPropValue::Flag(o.paused_ != 0); },
              [](T& o, const TPropValue& v) { o.SetPauseFlags(v.f, o.ani_paused_ != 0); }),
          Custom<T>(PR_ANIPAUSED, peNone, nullptr,
                    [](T& o, const TPropValue& v) { o.SetPauseFlags(o.paused_ != 0, v.f); }),
          Field<&T::idle_handler_>(PR_ONIDLE),
          Stored<&T::overlay_, &T::SetOverlay>(PR_OVERLAY, peGeometry),
          // The window of an overlay video follows the picture's scale and visibility.
          WriteThen<T, &TNovaCustomImage::Props, PR_ZOOMX>(peGeometry, follow_window),
          WriteThen<T, &TNovaCustomImage::Props, PR_ZOOMY>(peGeometry, follow_window),
          WriteThen<T, &TNovaCustomImage::Props, PR_FLOATZOOMX>(peGeometry, follow_window),
          WriteThen<T, &TNovaCustomImage::Props, PR_FLOATZOOMY>(peGeometry, follow_window),
          WriteThen<T, &TNovaCustomImage::Props, PR_VISIBLE>(pePicture, follow_window),
      });
  static constexpr TPropTable kTable = MakePropTable(&TNovaCustomImage::Props, kRows);
  return kTable;
}

void TNovaVideo::SyncKind(TSerializer& s) {
  TNovaCustomImage::SyncKind(s);
  std::string source = source_;
  s.String(source);
  s.Flag(repeat_);
  s.Flag(auto_scrap_);
  uint8_t paused = paused_;
  s.U8(paused);
  s.I32(volume_);
  s.I32(balance_);
  int32_t fade_ms = fade_ms_;
  s.I32(fade_ms);
  int32_t position = item_ ? item_->GetPosition() : stored_pos_;
  s.I32(position);
  uint8_t state = static_cast<uint8_t>(state_);
  s.U8(state);
  s.String(play_end_handler_);
  s.String(idle_handler_);
  s.Flag(rewind_on_load_, Since{108});
  if (s.Loading() && !s.Has(Since{112}))
    overlay_ = 1;
  s.Flag(overlay_, Since{112});
  s.Flag(mute_on_load_, Since{129});
  if (s.Saving())
    return;
  balance_ = std::clamp(balance_, -10000, 10000);
  int32_t play_state = state > kPlayFadeOut ? kPlayStop : state;
  if (mute_on_load_)
    volume_ = 0;
  const bool ani_paused = ani_paused_ != 0;
  ani_paused_ = 0;
  SetSource(source);
  stored_pos_ = rewind_on_load_ ? 0 : position;
  if (play_state == kPlayFadeOut)
    play_state = kPlayNow;
  fade_ms_ = 0;
  SetPlayState(play_state);
  fade_ms_ = fade_ms;
  SetPauseFlags(paused != 0, ani_paused);
}

} // namespace nova
