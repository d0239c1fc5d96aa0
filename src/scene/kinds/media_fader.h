// SPDX-License-Identifier: MIT
// Volume fades of media items, stepped once per frame by the component that owns them.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "scene/kinds/media_services.h"

namespace nova {

class TNovaMixer {
public:
  // `item` must outlive the fader unless the fader holds it (`Hold`).
  TNovaMixer(IMediaItem* item, bool midi, int32_t duration_ms);
  virtual ~TNovaMixer() = default;
  // True when the fade has ended.
  virtual bool Step(int64_t now_ms) = 0;
  // Takes over an item its component dropped (a video fading out).
  void Hold(std::unique_ptr<IMediaItem> item);
  IMediaItem* Item() const { return item_; }
  void SetTarget(int32_t volume) { target_ = volume; }
  // The interpolated volume at `t` ms after the start.
  int32_t VolumeAt(int64_t t) const;

protected:
  IMediaItem* item_;
  std::unique_ptr<IMediaItem> held_;
  bool midi_;
  bool started_ = false;
  int64_t start_ms_ = 0;
  int32_t start_volume_ = 0, target_ = 0, duration_ms_ = 0;
};

// Starts the item silent and raises it to the target.
class TNovaMixerFadein : public TNovaMixer {
public:
  TNovaMixerFadein(IMediaItem* item, bool midi, int32_t target, int32_t duration_ms);
  bool Step(int64_t now_ms) override;
};

// Lowers the item from its current volume to silence.
class TNovaMixerFadeout : public TNovaMixer {
public:
  TNovaMixerFadeout(IMediaItem* item, bool midi, int32_t duration_ms);
  bool Step(int64_t now_ms) override;
};

} // namespace nova
