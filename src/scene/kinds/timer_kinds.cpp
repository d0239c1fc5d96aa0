// SPDX-License-Identifier: MIT
#include "scene/kinds/timer_kinds.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/nova_error.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "scene/nova_base_list.h"

namespace nova {

TNovaTimer::TNovaTimer(TNovaBaseList* owner) : TNovaComponent(owner) {
  start_ms_ = RunState().GameClock;
}

void TNovaTimer::Restart() {
  if (owner_)
    owner_->Events().RemoveWaitingOf(this);
  start_ms_ = RunState().GameClock;
}

void TNovaTimer::SetPaused(bool paused) {
  if ((paused_ != 0) == paused)
    return;
  paused_ = paused ? 1 : 0;
  Restart();
}

bool TNovaTimer::Update() {
  if (fired_ && auto_scrap_)
    return !EventQueued(PR_ONNOTIFY);
  if (period_ms_ < 0 || paused_)
    return false;
  const int64_t now = RunState().GameClock;
  if (period_ms_ != 0 && now - start_ms_ < period_ms_)
    return false;
  // The next period counts from the planned time, so the cadence does not drift.
  start_ms_ += period_ms_;
  if (!EventQueued(PR_ONNOTIFY)) {
    QueueEvent(PR_ONNOTIFY, handler_);
    fired_ = 1;
  }
  return false;
}

const TPropTable& TNovaTimer::Props() {
  using T = TNovaTimer;
  using namespace props;
  static constexpr std::array kRows{
      Custom<T>(
          PR_ONNOTIFY, peNone, [](const T& t) { return TPropValue::Str(t.handler_); },
          [](T& t, const TPropValue& v) {
            t.handler_ = v.s;
            t.Restart();
          }),
      Custom<T>(
          PR_DELAY, peNone, [](const T& t) { return TPropValue::Int(t.period_ms_); },
          [](T& t, const TPropValue& v) {
            t.period_ms_ = v.i;
            t.Restart();
          }),
      Flag<&T::auto_scrap_>(PR_AUTOSCRAP),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaComponent::Props, kRows);
  return kTable;
}

void TNovaTimer::SyncKind(TSerializer& s) {
  s.String(handler_);
  s.I32(period_ms_);
  s.Flag(paused_);
  s.Flag(auto_scrap_, Since{104});
  s.Flag(fired_, Since{104});
  if (s.Loading())
    start_ms_ = RunState().GameClock;
}

long double TNovaPropMotion::ValueAt(int32_t curve, long double start, long double end,
                                     int32_t elapsed, int32_t duration) {
  const long double d = end - start;
  const long double e = elapsed, l = duration;
  constexpr long double kQuarter = std::numbers::pi_v<long double> / 2;
  switch (curve) {
  case MT_INC:
    return end - std::sin((l - e - 1) * kQuarter / l) * d;
  case MT_DEC:
    return start + std::sin(e * kQuarter / l) * d;
  default:
    return start + d * e / l;
  }
}

bool TNovaPropMotion::Update() {
  if (paused_)
    return false;
  if (!target_) {
    TNovaObject* found = owner_ ? owner_->FindByName(target_name_) : nullptr;
    if (!found || prop_id_ < 0 || prop_id_ >= kNovaPropCount)
      return true;
    target_ = found;
    start_ = found->GetProp(prop_id_).AsReal();
  } else if (!owner_->IsAlive(target_)) {
    return true;
  }
  long double value;
  bool finished = false;
  if (elapsed_ms_ == 0) {
    value = start_;
  } else if (duration_ms_ > 0 && elapsed_ms_ < duration_ms_ - 1) {
    value = ValueAt(curve_, start_, end_, elapsed_ms_, duration_ms_);
  } else {
    value = end_;
    finished = true;
  }
  try {
    target_->SetProp(prop_id_, TPropValue::Real(value));
  } catch (const ENovaError&) {
    // A property that refuses writes ends the motion instead of the frame.
    return true;
  }
  elapsed_ms_ = static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{elapsed_ms_} + RunState().FrameDelta, INT32_MIN, INT32_MAX));
  return finished;
}

const TPropTable& TNovaPropMotion::Props() {
  using T = TNovaPropMotion;
  using namespace props;
  static constexpr std::array kRows{
      Custom<T>(
          PR_PLAYING, peNone, [](const T& m) { return TPropValue::Flag(m.paused_ == 0); }, nullptr),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaComponent::Props, kRows);
  return kTable;
}

void TNovaPropMotion::SyncKind(TSerializer& s) {
  if (s.Saving()) {
    const bool target_gone = target_ && !(owner_ && owner_->IsAlive(target_));
    // A motion that has not found its target yet keeps the name it looks for; one whose target
    // is gone saves no property, so that it ends after loading instead of finding a namesake.
    std::string target =
        target_ ? (target_gone ? std::string() : target_->GetName()) : target_name_;
    int32_t prop_id = target_gone ? 255 : prop_id_;
    s.String(target);
    s.I32(prop_id);
  } else {
    s.String(target_name_);
    target_ = nullptr;
    s.I32(prop_id_);
  }
  s.Extended(end_);
  s.I32(duration_ms_);
  s.I32(curve_);
  s.Extended(start_);
  s.I32(elapsed_ms_);
  s.Flag(paused_, Since{126});
}

const TPropTable& TNovaCabinet::Props() {
  using T = TNovaCabinet;
  using namespace props;
  static constexpr std::array kRows{
      // Never shown, whatever was written.
      Custom<T>(
          PR_VISIBLE, peNone, [](const T&) { return TPropValue::Flag(false); }, nullptr),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

} // namespace nova
