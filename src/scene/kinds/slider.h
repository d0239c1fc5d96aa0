// SPDX-License-Identifier: MIT
// Value controls drawn from three pictures: the slider, whose thumb centre travels the whole
// track, and the scroll bar, whose thumb travels inside the track and which pages by a large
// step.
#pragma once
#include <string>

#include "scene/kinds/image_list.h"
#include "scene/nova_control.h"

namespace nova {

// What the pointer is doing with a slider.
enum TSliderMode : uint8_t {
  smIdle,
  smDragging,
  smFirstButton,
  smSecondButton,
  smPageToStart,
  smPageToEnd
};

// The parts of a slider the pointer can be on.
enum TSliderPart : uint8_t { spTrack, spThumb, spFirstButton, spSecondButton };

class TNovaSlider : public TNovaControl {
public:
  explicit TNovaSlider(TNovaBaseList* owner) : TNovaControl(owner) {}
  uint8_t GetKind() const override { return LT_SLIDER; }
  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return idle_handler_; }
  void Draw() override;
  void MouseMove() override;
  void MouseOut(TNovaControl* next) override;
  void LButtonDown() override;
  void LButtonUp() override;
  void MouseTick() override;
  // Arrow keys step the value; a key that goes down counts as its first repeat.
  void KeyRepeatEvent(const std::vector<std::string>& keys) override;

  int32_t ClampedValue() const;
  // Changes the value and tells the script when the clamped value changed.
  void SetValueNotify(int32_t v);
  // Layout on screen (scene coordinates).
  TSceneRect TrackRect() const;
  TSceneRect ThumbRect() const;
  TSceneRect ButtonRect(int which) const;
  int32_t ThumbOffset() const { return thumb_offset_; }
  uint8_t Mode() const { return mode_; }
  uint8_t ThumbState() const { return thumb_state_; }
  uint8_t ButtonState(int which) const { return button_state_[which & 1]; }

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  // Loads one of the three pictures (track, thumb, buttons) and lays the parts out again.
  void SetPicture(std::string& field, TNovaImageList& list, const std::string& file);
  void SyncKind(TSerializer& s) override;
  virtual bool IsScrollbar() const { return false; }
  // The size along the orientation.
  bool Vertical() const { return orientation_ == OT_VERTICAL; }
  int32_t TrackLength() const { return Vertical() ? track_h_ : track_w_; }
  int32_t ThumbLength() const { return Vertical() ? thumb_h_ : thumb_w_; }
  int32_t Range() const;
  // The value for a pointer position along the track while dragging.
  int32_t DragValue(int32_t p) const;
  // Sign of a button's step: the first button decreases, except on a vertical slider.
  virtual int ButtonSign(int which) const;
  // The key steps: +1 increases, -1 decreases, 0 not a key of this control.
  virtual int KeyDirection(int code) const;
  void Layout();
  void UpdateOffset();
  void PointerStates();
  void Step(int32_t delta);
  void HandleKeys(const std::vector<std::string>& keys);
  // The pointer is on the part (through the part's mask where it has one).
  bool PointerOn(TSliderPart part) const;
  void Pointer(int32_t& x, int32_t& y) const;

  std::string track_source_, thumb_source_, button_source_;
  TNovaImageList track_, thumb_, buttons_;
  int32_t min_ = 0, max_ = 0, value_ = 0, small_change_ = 0, alpha_ = 255;
  uint8_t paused_ = 0, orientation_ = OT_HORIZONTAL, capture_mask_ = 0;
  int32_t bar_size_ = 0;
  int32_t track_w_ = 0, track_h_ = 0, thumb_w_ = 0, thumb_h_ = 0, button_w_ = 0, button_h_ = 0;
  int32_t thumb_offset_ = 0;
  uint8_t thumb_state_ = 0;
  uint8_t button_state_[2] = {0, 0};
  int32_t drag_offset_ = 0, repeat_ms_ = 0;
  uint8_t track_lit_ = 0;
  uint8_t mode_ = smIdle;
  std::string notify_handler_, hold_handler_, release_handler_, idle_handler_;
  int32_t large_change_ = 0;
};

class TNovaScrollbar : public TNovaSlider {
public:
  explicit TNovaScrollbar(TNovaBaseList* owner) : TNovaSlider(owner) {}
  uint8_t GetKind() const override { return LT_SCROLLBAR; }

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  bool IsScrollbar() const override { return true; }
  int ButtonSign(int which) const override { return which == 0 ? -1 : 1; }
  int KeyDirection(int code) const override;
};

} // namespace nova
