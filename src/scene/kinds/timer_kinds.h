// SPDX-License-Identifier: MIT
// The non-visual kinds that run in time: the periodic timer and the property motion, which
// animates one numbered property of another component. Also the cabinet, an invisible holder.
#pragma once
#include <string>

#include "scene/nova_control.h"

namespace nova {

class TNovaTimer : public TNovaComponent {
public:
  explicit TNovaTimer(TNovaBaseList* owner);
  uint8_t GetKind() const override { return LT_TIMER; }
  bool IsPaused() const override { return paused_ != 0; }
  bool Update() override;
  // Pausing is not a property of timers; saved data and the owner set it.
  void SetPaused(bool paused);
  bool Fired() const { return fired_ != 0; }

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;

private:
  // Drops the waiting notification and starts a new period from now.
  void Restart();

  std::string handler_;
  int32_t period_ms_ = 0;
  uint8_t paused_ = 0, auto_scrap_ = 0, fired_ = 0;
  int64_t start_ms_ = 0;
};

// Curves of a property motion.
enum TMotionCurve : int32_t { MT_NORMAL = 0, MT_INC = 1, MT_DEC = 2 };

class TNovaPropMotion : public TNovaComponent {
public:
  explicit TNovaPropMotion(TNovaBaseList* owner) : TNovaComponent(owner) {}
  uint8_t GetKind() const override { return LT_PROPMOTION; }
  bool IsPaused() const override { return paused_ != 0; }
  bool Update() override;
  void SetTarget(const std::string& name) { target_name_ = name; }
  void SetPropId(int32_t id) { prop_id_ = id; }
  void SetEndValue(long double v) { end_ = v; }
  void SetDuration(int32_t ms) { duration_ms_ = ms; }
  void SetCurve(int32_t curve) { curve_ = curve; }
  void SetPaused(bool paused) { paused_ = paused ? 1 : 0; }
  // The value at `elapsed` ms between start and end by the curve.
  static long double ValueAt(int32_t curve, long double start, long double end, int32_t elapsed,
                             int32_t duration);

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;

private:
  std::string target_name_;
  TNovaObject* target_ = nullptr;
  int32_t prop_id_ = 255;
  long double end_ = 0, start_ = 0;
  int32_t duration_ms_ = 0;
  int32_t curve_ = MT_NORMAL;
  int32_t elapsed_ms_ = 0;
  uint8_t paused_ = 0;
};

// A container that is never visible and draws nothing; saved scenes park components in it.
class TNovaCabinet : public TNovaControl {
public:
  explicit TNovaCabinet(TNovaBaseList* owner) : TNovaControl(owner) {}
  uint8_t GetKind() const override { return LT_CABINET; }
  bool IsCabinet() const override { return true; }
  void Draw() override {}
  TNovaControl* HitTest(int32_t, int32_t, uint32_t) override { return nullptr; }
  void Invalidate() override {}

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
};

} // namespace nova
