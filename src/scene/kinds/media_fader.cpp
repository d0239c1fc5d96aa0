// SPDX-License-Identifier: MIT
#include "scene/kinds/media_fader.h"

namespace nova {

TNovaMixer::TNovaMixer(IMediaItem* item, bool midi, int32_t duration_ms)
    : item_(item), midi_(midi), duration_ms_(duration_ms) {}

void TNovaMixer::Hold(std::unique_ptr<IMediaItem> item) {
  held_ = std::move(item);
  item_ = held_.get();
}

int32_t TNovaMixer::VolumeAt(int64_t t) const {
  if (t >= duration_ms_ || duration_ms_ <= 0)
    return target_;
  const int64_t span = int64_t{target_} - start_volume_;
  if (midi_)
    return static_cast<int32_t>(start_volume_ + span * t / duration_ms_);
  // Other items are inaudible in the lower half of the range: the fade covers the upper half.
  const int64_t half = span / 2;
  const int64_t from = start_volume_ > target_ ? start_volume_ : start_volume_ + half;
  return static_cast<int32_t>(from + half * t / duration_ms_);
}

TNovaMixerFadein::TNovaMixerFadein(IMediaItem* item, bool midi, int32_t target, int32_t duration_ms)
    : TNovaMixer(item, midi, duration_ms) {
  target_ = target;
}

bool TNovaMixerFadein::Step(int64_t now_ms) {
  if (!item_)
    return true;
  if (!started_) {
    started_ = true;
    item_->SetVolume(-10000);
    item_->Play();
    start_volume_ = -10000;
    start_ms_ = now_ms;
    return false;
  }
  const int64_t t = now_ms - start_ms_;
  item_->SetVolume(VolumeAt(t));
  return t >= duration_ms_;
}

TNovaMixerFadeout::TNovaMixerFadeout(IMediaItem* item, bool midi, int32_t duration_ms)
    : TNovaMixer(item, midi, duration_ms) {
  target_ = -10000;
}

bool TNovaMixerFadeout::Step(int64_t now_ms) {
  if (!item_)
    return true;
  if (!started_) {
    started_ = true;
    start_volume_ = item_->GetVolume();
    start_ms_ = now_ms;
    return false;
  }
  const int64_t t = now_ms - start_ms_;
  item_->SetVolume(VolumeAt(t));
  return t >= duration_ms_;
}

} // namespace nova
