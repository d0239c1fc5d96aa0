// SPDX-License-Identifier: MIT
// The preview menu: picture buttons read from a template, each with pictures for its states
// and transitions, optional overlay animations, and radio or toggle groups.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "scene/kinds/custom_images.h"
#include "scene/kinds/prev_template.h"
#include "scene/kinds/selection_kind.h"

namespace nova {

class TNovaPrevMenu;

// The picture of one item (or of an item's overlay): it tells its menu when a picture that
// plays once has ended.
class TNovaPrevImages : public TNovaImages {
public:
  TNovaPrevImages(TNovaBaseList* owner, TNovaPrevMenu* menu) : TNovaImages(owner), menu_(menu) {}
  // Shows a picture from its start with the image settings reset; `loop` repeats it, otherwise
  // the menu hears of its end once. An empty name shows nothing.
  void Show(const std::string& file, bool loop);
  bool Update() override;

private:
  bool LastFrameShown() const;
  TNovaPrevMenu* menu_;
  bool report_end_ = false;
};

// One item as the template gives it.
struct TNovaPrevMenuData {
  std::array<std::string, kPrevPictures> pictures;
  int32_t overlay_x = 0, overlay_y = 0;
  std::string name;
  int32_t index = 0;
  int32_t group = 0;
};

class TNovaPrevMenu : public TSelectionKind<TNovaControl> {
public:
  explicit TNovaPrevMenu(TNovaBaseList* owner);
  ~TNovaPrevMenu() override;
  uint8_t GetKind() const override { return LT_PREVMENU; }

  int ItemCount() const { return static_cast<int>(items_.size()); }
  TNovaPrevImages* ItemImage(int i) const;
  TNovaPrevImages* Overlay(int i) const;
  const TNovaPrevMenuData& Data(int i) const { return items_[static_cast<size_t>(i)].data; }
  int32_t HoverItem() const { return hover_; }
  int32_t RunningAnimations() const { return running_; }
  void SetHoverItem(int32_t i);
  void SelectItem();
  void FinishSelection();
  void AnimationEnded(TNovaPrevImages& img);

  bool GetItemEnabled(int i) const override;
  void SetItemEnabled(int i, bool b) override;
  bool GetItemVisible(int i) const override;
  void SetItemVisible(int i, bool b) override;
  bool GetItemSelected(int i) const override;
  void SetItemSelected(int i, bool b) override;
  int32_t GetItemGroup(int i) const override;
  std::string GetItemText(int i) const override;

  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return on_idle_; }
  std::string GetCursorFile() const override;
  TNovaControl* HitTest(int32_t x, int32_t y, uint32_t accept_set) override;
  bool TakeRightClick() override;
  void MouseMove() override;
  void MouseOut(TNovaControl* next) override;
  void LButtonDown() override;
  void LButtonUp() override;
  void RButtonDown() override;
  void KeyRepeatEvent(const std::vector<std::string>& keys) override;

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  bool AutoScrap() const override { return auto_scrap_ != 0; }
  const std::string& PlayEndHandler() const override { return on_play_end_; }

private:
  struct TItem {
    TNovaPrevImages* image = nullptr;
    TNovaPrevImages* overlay = nullptr;
    TNovaPrevMenuData data;
  };
  void SetSource(const std::string& file);
  void ClearItems();
  void Preload(const std::string& file);
  bool Valid(int i) const { return i >= 0 && i < ItemCount(); }
  const std::string& Pic(int i, int k) const;
  bool Has(int i, int k) const { return !Pic(i, k).empty(); }
  void ShowPic(int i, int k, bool loop);
  // The picture an item rests on: by enabled, selected and hovered, the first that exists.
  void ShowResting(int i);
  // Picture 0 when enabled (or without a disabled picture), else picture 4.
  int EnabledPic(int i) const;
  // The overlay of item i plays picture k (an empty picture removes the overlay).
  void PlayOverlay(int i, int k, int32_t priority, bool loop);
  void RemoveOverlay(int i);
  TNovaPrevImages* NewImage(int32_t x, int32_t y);
  int32_t ItemUnderPointer() const;
  bool Marked(int i) const { return selected_[static_cast<size_t>(i)] != 0; }

  std::string source_;
  std::vector<TItem> items_;
  std::vector<std::unique_ptr<TImageItemHold>> held_;
  std::vector<std::string> held_names_;
  std::vector<uint8_t> enabled_, visible_, selected_;
  int32_t hover_ = -1, pressed_ = -1;
  int32_t running_ = 0;
  uint8_t auto_scrap_ = 0, rclick_scrap_ = 0, paused_ = 0;
  std::string on_select_, on_map_in_, on_map_out_, on_idle_, on_play_end_;
};

} // namespace nova
