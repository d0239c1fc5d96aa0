// SPDX-License-Identifier: MIT
// The bar gauge: shows a value between a minimum and a maximum and animates its changes, a
// lost amount lingering as a marker before it shrinks away.
#pragma once
#include <string>

#include "scene/kinds/image_list.h"
#include "scene/nova_control.h"

namespace nova {

// Animation phases of a gauge.
enum TGaugePhase : int32_t { gpIdle = 0, gpDecreasing = 100, gpIncreasing = 200 };

class TNovaGauge : public TNovaControl {
public:
  explicit TNovaGauge(TNovaBaseList* owner) : TNovaControl(owner) {}
  uint8_t GetKind() const override { return LT_GAUGE; }
  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return idle_handler_; }
  bool Update() override;
  void Draw() override;
  int32_t ClampedValue() const;
  int32_t Shown() const { return shown_; }
  int32_t Marker() const { return marker_; }
  int32_t Phase() const { return phase_; }
  // Lengths along the gauge of the bar and the marker.
  void BarLengths(int32_t& bar, int32_t& mark) const;

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;

private:
  void SetSource(const std::string& source);
  void SetRange(int32_t& field, int32_t v);
  void SetValue(int32_t v);
  void Layout();
  void Finish();

  std::string source_;
  TNovaImageList picture_;
  int32_t min_ = 0, max_ = 0, value_ = 0, alpha_ = 255;
  uint8_t paused_ = 0, orientation_ = OT_HORIZONTAL;
  int32_t duration_ms_ = 0, delay_ms_ = 0;
  uint8_t reverse_ = 0;
  int32_t bar_size_ = 0;
  std::string idle_handler_;
  int32_t shown_ = 0, marker_ = 0, phase_ = gpIdle;
  double position_ = 0;
  int32_t wait_ms_ = 0;
};

} // namespace nova
