// SPDX-License-Identifier: MIT
// Sound tracks: a chain shares one sound component (its first track's), kept in step with the
// film's frames and paused outside the chain.
#include <algorithm>
#include <cstdlib>

#include "scene/films/film_track_component.h"
#include "scene/kinds/media_kinds.h"

namespace nova {
namespace {

constexpr double kFrameMs = 1000.0 / 60;
// A sound further than this from the film's time is moved to it.
constexpr int64_t kResyncMs = 3000;

int32_t Scaled(int32_t volume, int32_t film_volume) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{volume} * film_volume / 1000, INT32_MIN, INT32_MAX));
}

} // namespace

void TSoundFrameList::Ready() {
  auto* head = static_cast<TSoundFrameList*>(ChainHead());
  if (head != this) {
    head->Ready();
    return;
  }
  CheckAlive();
  if (component_ || !film_.Scene())
    return;
  TNovaBaseList* scene = film_.Scene();
  auto* sound = CreateComponent<TNovaSound>(scene);
  sound->SetNameRaw(scene->UniqueName(film_.NamePrefix()));
  component_ = sound;
  SetStr(*sound, PR_SOURCE, rec_.source);
  SetInt(*sound, PR_VOLUME, Scaled(rec_.start_volume, film_.Volume()));
  const int64_t sound_ms = sound->GetProp(PR_COUNT).i;
  const int64_t track_ms = static_cast<int64_t>(static_cast<double>(Length()) * kFrameMs);
  const int64_t loop = film_.LoopStart(), length = film_.Length();
  const bool spans_loop =
      StartFrame() <= loop && loop < EndFrame() && loop < length - 1 && loop > 0;
  SetFlag(*sound, PR_REPEAT, track_ms > sound_ms || (EndFrame() >= length && spans_loop));
  SetInt(*sound, PR_BALANCE, rec_.start_pan);
  // Opened, not playing: the first frame inside the track starts it.
  SetFlag(*sound, PR_ANIPAUSED, true);
  sound->SetPlayState(kPlayNow);
  if (IMediaItem* item = sound->Item())
    item->Pause();
}

void TSoundFrameList::Pause() {
  auto* head = static_cast<TSoundFrameList*>(ChainHead());
  head->CheckAlive();
  if (head->Component())
    SetFlag(*head->Component(), PR_ANIPAUSED, true);
}

void TSoundFrameList::SetPaused(bool paused) {
  if (paused)
    Pause();
}

bool TSoundFrameList::SetTime(int64_t f) {
  Ready();
  auto* head = static_cast<TSoundFrameList*>(ChainHead());
  auto* sound = static_cast<TNovaSound*>(head->Component());
  if (f < last_frame_ && film_.Playing())
    Pause();
  last_frame_ = f;
  if (!sound)
    return Active(f);
  if (f >= StartFrame() && f < std::min<int64_t>(EndFrame(), int64_t{film_.Length()} - 1)) {
    const int64_t p = f - StartFrame();
    SetInt(*sound, PR_VOLUME,
           Scaled(Int(rec_.start_volume, rec_.end_volume, rec_.volume_curve, p), film_.Volume()));
    SetInt(*sound, PR_BALANCE, Int(rec_.start_pan, rec_.end_pan, rec_.pan_curve, p));
    IMediaItem* item = sound->Item();
    const bool running = item && item->IsPlaying() && !sound->GetProp(PR_ANIPAUSED).f;
    if (!film_.Playing()) {
      Pause();
    } else if (running) {
      const int64_t want_ms = (f - head->StartFrame()) * 1000 / 60;
      if (std::llabs(item->GetPosition() - want_ms) >= kResyncMs)
        SetInt(*sound, PR_INDEX, static_cast<int32_t>(std::min<int64_t>(want_ms, INT32_MAX)));
    } else {
      if (!item)
        sound->SetPlayState(kPlayNow);
      SetFlag(*sound, PR_ANIPAUSED, false);
    }
  } else if (!HasFollower() && !(f >= head->StartFrame() && f < ChainEnd())) {
    Pause();
  }
  return Active(f);
}

} // namespace nova
