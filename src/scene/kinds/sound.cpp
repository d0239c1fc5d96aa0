// SPDX-License-Identifier: MIT
#include <algorithm>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "scene/kinds/media_kinds.h"
#include "scene/nova_base_list.h"
#include "scene/prop_groups.h"

namespace nova {

TNovaSound::~TNovaSound() = default;

void TNovaSound::StartFadeIn() {
  fader_ = std::make_unique<TNovaMixerFadein>(item_.get(), IsMidiSource(source_), ItemVolumeNow(),
                                              fade_ms_);
}

void TNovaSound::SetPlayState(int32_t state) {
  fader_.reset();
  ended_ = 0;
  state_ = state;
  if (state_ == kPlayFadeIn && fade_ms_ <= 0)
    state_ = kPlayNow;
  switch (state_) {
  case kPlayNow:
  case kPlayFadeIn: {
    if (item_)
      return;
    TMediaManagerKind kind;
    if (!MediaSourceAvailable(ServicesOf(owner_).media.library, source_)) {
      if (auto_scrap_)
        FreeLater();
      return;
    }
    if (!ManagerFor(source_, kind))
      return;
    item_ = ServicesOf(owner_).media.library->CreateItem(kind, source_);
    if (!item_)
      return;
    item_->SetPan(balance_);
    if (stored_pos_ > 0)
      item_->SetPosition(stored_pos_);
    item_->SetAutoRepeat(repeat_ != 0);
    item_->SetRepeatPos(repeat_pos_);
    if (state_ == kPlayNow) {
      item_->SetVolume(ItemVolumeNow());
      if (paused_)
        item_->Pause();
      else
        item_->Play();
      if (stored_pos_ > 0)
        item_->SetPosition(stored_pos_);
    } else if (!paused_) {
      StartFadeIn();
    }
    return;
  }
  case kPlayStop:
    if (item_) {
      item_.reset();
      stored_pos_ = 0;
      FreeLater();
    }
    return;
  case kPlayFadeOut:
    if (item_) {
      fader_ = std::make_unique<TNovaMixerFadeout>(item_.get(), IsMidiSource(source_), fade_ms_);
      stored_pos_ = 0;
      // The old name is free at once for a new sound while this one fades away.
      SetName("\x01SCRAP_" + name_);
    } else {
      FreeLater();
    }
    return;
  default:
    return;
  }
}

void TNovaSound::Play() {
  stored_pos_ = 0;
  paused_ = 0;
  ended_ = 0;
  SetPlayState(kPlayFadeIn);
  if (!item_)
    return;
  fader_.reset();
  if (fade_ms_ <= 0) {
    item_->SetVolume(ItemVolumeNow());
    item_->SetPosition(0);
    if (!item_->IsPlaying())
      item_->Play();
  } else {
    item_->Pause();
    item_->SetVolume(-10000);
    item_->SetPosition(0);
    StartFadeIn();
  }
}

bool TNovaSound::Update() {
  if (item_ && item_->IsEnd()) {
    if (repeat_) {
      item_->SetPosition(0);
    } else {
      ended_ = 1;
      if (auto_scrap_)
        return true;
      if (!play_end_handler_.empty())
        QueueEvent(PR_ONPLAYEND, play_end_handler_);
    }
  }
  if (fader_ && fader_->Step(RunState().GameClock)) {
    const bool faded_out = dynamic_cast<TNovaMixerFadeout*>(fader_.get()) != nullptr;
    fader_.reset();
    if (faded_out)
      return true;
  }
  return false;
}

void TNovaSound::SetSource(const std::string& source) {
  if (source == source_)
    return;
  fader_.reset();
  item_.reset();
  source_ = source;
  state_ = kPlayStop;
  paused_ = 0;
  stored_pos_ = 0;
  ended_ = 0;
}

void TNovaSound::SetRepeat(bool on) {
  repeat_ = on ? 1 : 0;
  if (!item_)
    return;
  item_->SetAutoRepeat(on);
  // A finished sound that is told to repeat starts again.
  if (on && !paused_ && item_->GetPosition() >= item_->GetLength() - 1) {
    item_->SetPosition(0);
    ended_ = 0;
  }
}

void TNovaSound::SetVolume(int32_t volume) {
  volume_ = volume;
  if (item_)
    item_->SetVolume(ItemVolumeNow());
}

void TNovaSound::SetBalance(int32_t balance) {
  balance_ = std::clamp(balance, -10000, 10000);
  if (item_)
    item_->SetPan(balance_);
}

void TNovaSound::SetIndex(int32_t ms) {
  stored_pos_ = ms;
  ended_ = 0;
  if (!item_)
    return;
  item_->SetPosition(ms);
  if (!paused_ && !item_->IsPlaying())
    item_->Play();
}

void TNovaSound::SetPauseFlags(bool paused, bool ani_paused) {
  if ((paused_ != 0) == paused && (ani_paused_ != 0) == ani_paused)
    return;
  paused_ = paused ? 1 : 0;
  ani_paused_ = ani_paused ? 1 : 0;
  if (!item_)
    return;
  if (paused || ani_paused) {
    item_->Pause();
    item_->SetVolume(-10000);
  } else if (state_ == kPlayFadeIn) {
    StartFadeIn();
  } else {
    item_->SetVolume(ItemVolumeNow());
    item_->Play();
  }
}

int32_t TNovaSound::Length() const {
  if (item_)
    return item_->GetLength();
  TMediaManagerKind kind;
  if (!MediaSourceAvailable(ServicesOf(owner_).media.library, source_) ||
      !ManagerFor(source_, kind))
    return 0;
  // Measured with a temporary item that is released at once.
  std::unique_ptr<IMediaItem> probe = ServicesOf(owner_).media.library->CreateItem(kind, source_);
  return probe ? probe->GetLength() : 0;
}

const TPropTable& TNovaSound::Props() {
  using T = TNovaSound;
  using namespace props;
  static constexpr auto kRows = JoinRows(
      MediaGroup<T>::Rows(),
      std::array{
          Custom<T>(
              PR_ANIPAUSED, peNone, [](const T& o) { return TPropValue::Flag(o.ani_paused_ != 0); },
              [](T& o, const TPropValue& v) { o.SetPauseFlags(o.paused_ != 0, v.f); }),
          Custom<T>(
              PR_REPEATPOS, peNone, [](const T& o) { return TPropValue::Int(o.repeat_pos_); },
              [](T& o, const TPropValue& v) {
                o.repeat_pos_ = v.i;
                if (o.item_)
                  o.item_->SetRepeatPos(o.repeat_pos_);
              }),
      });
  static constexpr TPropTable kTable = MakePropTable(&TNovaComponent::Props, kRows);
  return kTable;
}

void TNovaSound::SaveKind(BinaryWriter& w) const {
  w.String(source_);
  w.U8(repeat_);
  w.U8(auto_scrap_);
  w.U8(paused_);
  w.U8(ani_paused_);
  w.U8(ended_);
  w.I32(volume_);
  w.I32(balance_);
  w.I32(fade_ms_);
  w.I32(item_ ? item_->GetPosition() : stored_pos_);
  int32_t state = state_;
  // Short effects are not replayed after loading.
  if ((state == kPlayNow || state == kPlayFadeIn) && !repeat_ && item_ &&
      item_->GetLength() < kShortSoundMs)
    state = kPlayStop;
  w.U8(static_cast<uint8_t>(state));
  w.String(play_end_handler_);
  w.U8(rewind_on_load_);
  w.U8(mute_on_load_);
  w.I32(repeat_pos_);
}

void TNovaSound::LoadKind(BinaryReader& r, int version) {
  const std::string source = r.String();
  repeat_ = r.U8() ? 1 : 0;
  auto_scrap_ = r.U8() ? 1 : 0;
  const bool paused = r.U8() != 0;
  const bool ani_paused = r.U8() != 0;
  const bool ended = r.U8() != 0;
  volume_ = r.I32();
  balance_ = std::clamp(r.I32(), -10000, 10000);
  const int32_t fade_ms = r.I32();
  const int32_t position = r.I32();
  int32_t state = r.U8();
  if (state > kPlayFadeOut)
    state = kPlayStop;
  play_end_handler_ = r.String();
  rewind_on_load_ = version > 107 ? (r.U8() ? 1 : 0) : 0;
  mute_on_load_ = version > 128 ? (r.U8() ? 1 : 0) : 0;
  repeat_pos_ = version > 137 ? r.I32() : 0;

  if (mute_on_load_)
    volume_ = 0;
  source_.clear();
  SetSource(source);
  stored_pos_ = rewind_on_load_ ? 0 : position;
  if (state == kPlayFadeOut)
    state = kPlayNow;
  fade_ms_ = 0;
  if (ended) {
    state_ = state;
    ended_ = 1;
  } else {
    SetPlayState(state);
  }
  fade_ms_ = fade_ms;
  SetPauseFlags(paused, ani_paused);
}

} // namespace nova
