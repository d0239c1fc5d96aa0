// SPDX-License-Identifier: MIT
// The coloured rectangle with optional border, and its fading afterimage.
#pragma once
#include "scene/nova_control.h"

namespace nova {

class TNovaBox : public TNovaControl {
public:
  explicit TNovaBox(TNovaBaseList* owner) : TNovaControl(owner) {}
  uint8_t GetKind() const override { return LT_BOX; }
  void Draw() override;
  bool Update() override;
  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return idle_handler_; }
  int32_t Alpha() const { return alpha_; }
  void SetAlpha(int32_t a);

  const TPropTable& PropTable() const override { return Props(); }

protected:
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  bool AutoScrap() const override { return auto_scrap_ != 0; }
  const std::string& PlayEndHandler() const override { return play_end_handler_; }
  void SetSource(const std::string& source);
  void SetBlurSpan(int32_t span);
  void RecordGeometry();

  int32_t border_width_ = 0;
  int32_t border_color_ = -1;
  int32_t alpha_ = 255;
  std::string idle_handler_;
  std::string source_;
  uint8_t repeat_ = 0, auto_scrap_ = 0;
  std::string play_end_handler_;
  uint8_t paused_ = 0;
  int32_t blur_span_ = 0, blur_delay_ = 0;
  int32_t blur_clock_ = 0;
  int32_t last_left_ = 0, last_top_ = 0, last_width_ = 0, last_height_ = 0, last_border_ = 0;

  friend class TNovaBlurBox;
};

// An afterimage of a box: fades from its start alpha to nothing over its lifetime.
class TNovaBlurBox : public TNovaBox {
public:
  explicit TNovaBlurBox(TNovaBaseList* owner) : TNovaBox(owner) {}
  // Copies the box's look and takes its place one priority below.
  void Init(const TNovaBox& box);
  bool Update() override;

  const TPropTable& PropTable() const override { return Props(); }

protected:
  static const TPropTable& Props();

private:
  int32_t lifetime_ = 0, age_ = 0, start_alpha_ = 0;
};

} // namespace nova
