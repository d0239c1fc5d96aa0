// SPDX-License-Identifier: MIT
#include <algorithm>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
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

void TNovaSound::SyncKind(TSerializer& s) {
  std::string source = source_;
  s.String(source);
  s.Flag(repeat_);
  s.Flag(auto_scrap_);
  uint8_t paused = paused_, ani_paused = ani_paused_, ended = ended_;
  s.U8(paused);
  s.U8(ani_paused);
  s.U8(ended);
  s.I32(volume_);
  s.I32(balance_);
  int32_t fade_ms = fade_ms_;
  s.I32(fade_ms);
  int32_t position = item_ ? item_->GetPosition() : stored_pos_;
  s.I32(position);
  uint8_t state = static_cast<uint8_t>(state_);
  // Short effects are not replayed after loading.
  if (s.Saving() && (state == kPlayNow || state == kPlayFadeIn) && !repeat_ && item_ &&
      item_->GetLength() < kShortSoundMs)
    state = kPlayStop;
  s.U8(state);
  s.String(play_end_handler_);
  s.Flag(rewind_on_load_, Since{108});
  s.Flag(mute_on_load_, Since{129});
  s.I32(repeat_pos_, Since{138});
  if (s.Saving())
    return;
  balance_ = std::clamp(balance_, -10000, 10000);
  int32_t play_state = state > kPlayFadeOut ? kPlayStop : state;
  if (mute_on_load_)
    volume_ = 0;
  source_.clear();
  SetSource(source);
  stored_pos_ = rewind_on_load_ ? 0 : position;
  if (play_state == kPlayFadeOut)
    play_state = kPlayNow;
  fade_ms_ = 0;
  if (ended != 0) {
    state_ = play_state;
    ended_ = 1;
  } else {
    SetPlayState(play_state);
  }
  fade_ms_ = fade_ms;
  SetPauseFlags(paused != 0, ani_paused != 0);
}

} // namespace nova
