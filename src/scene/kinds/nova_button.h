// SPDX-License-Identifier: MIT
// The image button: a picture per state (normal, hover, pressed, clicked), a caption, clicks
// by pointer and keys, and radio groups among siblings.
#pragma once
#include <array>
#include <memory>
#include <string>

#include "scene/kinds/custom_images.h"
#include "scene/nova_motion.h"
#include "text/label_list.h"

namespace nova {

class TNovaMotion;

class TNovaButton : public TNovaImages {
public:
  // States; -1 stands only for the moment the clicked animation ends.
  enum : int32_t { bsNormal = 0, bsHover = 1, bsPressed = 2, bsClicked = 3 };

  explicit TNovaButton(TNovaBaseList* owner);
  ~TNovaButton() override;
  uint8_t GetKind() const override { return LT_BUTTON; }
  int GetStateIndex() const override { return state_; }
  int GetStateCount() const override { return 4; }

  // Shows the state's picture from its start; a request during the clicked animation waits
  // for its end. A state without picture is not taken (except the normal state).
  void SetState(int32_t s);
  int32_t ReturnState() const { return return_state_; }
  void Click();
  bool Selected() const { return selected_ != 0; }
  int32_t Group() const { return group_; }
  // Raw setters of the group rules: store and show the matching state.
  void SetGroupSelected(bool b);
  void SetGroupAllowAllUp(bool b) { allow_all_up_ = b ? 1 : 0; }
  const std::string& Caption() const { return caption_text_; }

  bool Update() override;
  void ReleaseSurfaces() override;
  void RestoreSurfaces() override;
  void LButtonDown() override;
  void LButtonUp() override;
  void MouseMove() override;
  void MouseOut(TNovaControl* next) override;
  void KeyRepeatEvent(const std::vector<std::string>& keys) override;

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  // The picture file of the state a source property names.
  const std::string& StateSourceOf(int id) const;
  void SyncKind(TSerializer& s) override;
  void AfterDrawImage() override;
  // Every state loops but the clicked one.
  bool RepeatOn() const override { return state_ != bsClicked; }

private:
  bool StateHasPicture(int32_t s);
  // The motion slot of the state shown moves into the control; the others wait parked.
  void BringMotion(int32_t s);
  std::unique_ptr<TNovaMotion>& MotionOf(int32_t s);
  void SetStateSource(int32_t s, const std::string& file);
  void SetSelected(bool b);
  void SetGroup(int32_t g);
  void SetAllowAllUp(bool b);
  // The members of this button's group among its siblings, in child order.
  std::vector<TNovaButton*> GroupMembers() const;
  void NormaliseGroup();
  // The layer's left-press hit test at the pointer answers this button.
  bool PointerOnButton() const;
  void CaptionChanged();

  int32_t state_ = bsNormal;
  int32_t return_state_ = bsNormal;
  int32_t pressed_ = 0;
  std::array<std::string, 4> state_sources_; // [0] unused: the normal source is PR_SOURCE
  std::array<std::unique_ptr<TNovaMotion>, 4> parked_;
  int32_t motion_state_ = bsNormal; // whose motion the control holds
  int32_t group_ = 0;
  uint8_t selected_ = 0, allow_all_up_ = 0;
  std::string on_notify_;
  std::string caption_text_;
  TZpLabelList caption_;
  bool caption_measured_ = false;
};

} // namespace nova
