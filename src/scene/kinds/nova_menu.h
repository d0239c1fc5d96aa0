// SPDX-License-Identifier: MIT
// The text list with nine-cell frame, scroll bar and check marks (TNovaCustomListBox), and
// the menu built on it, which opens and closes over a delay.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "graphics/dibx.h"
#include "scene/kinds/image_list.h"
#include "scene/kinds/selection_kind.h"
#include "scene/nova_control.h"
#include "text/label_list.h"

namespace nova {

class TCustomDIBX;

// A picture file of a list box: the file name, its frames and the size of frame 0.
struct TListPicture {
  std::string file;
  TNovaImageList list;
  int32_t width = 0, height = 0;
  // Loads `name` (empty: no picture); answers whether the name changed.
  bool Set(TWispCollection* cache, const void* user, const std::string& name);
};

class TNovaCustomListBox : public TNovaControl {
public:
  // Press modes of the pointer.
  enum : int32_t {
    pmNone = -1,
    pmThumb = 0,
    pmUpArrow,
    pmDownArrow,
    pmTrackAbove,
    pmTrackBelow,
    pmItems
  };
  static constexpr int kCells = 9;
  // Spacing values from scripts and save data are kept within this, and boxes placed beyond
  // kMaxPlace are neither drawn nor hit, so the geometry sums stay inside int32.
  static constexpr int32_t kMaxSpacing = 1 << 24;
  static constexpr int32_t kMaxPlace = 1 << 28;

  int ItemCount() const { return static_cast<int>(items_.size()); }
  const std::string& ItemText(int i) const;
  bool GetItemChecked(int i) const override;
  void SetItemChecked(int i, bool b) override;
  std::string GetItemText(int i) const override { return ItemText(i); }
  int32_t HoverItem() const { return hover_; }
  int32_t TopIndex() const { return top_index_; }
  int32_t Rows() const { return rows_; }
  // i < 0 leaves the items (map-out); i >= 0 enters item i (map-in).
  void SetHoverItem(int32_t i);
  // The item at a screen point, -1 outside the item area.
  int32_t ItemAt(int32_t x, int32_t y) const;
  void SetTopIndex(int32_t i);
  // Sizes the box from its items, font and frame.
  void Relayout();
  // The choice of the hover item.
  virtual void Select();
  bool ScrollBarShown() const;

  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return on_idle_; }
  void Draw() override;
  bool Update() override;
  void LButtonDown() override;
  void LButtonUp() override;
  void MouseMove() override;
  void MouseOut(TNovaControl* next) override;
  void MouseTick() override;
  void KeyRepeatEvent(const std::vector<std::string>& keys) override;

protected:
  explicit TNovaCustomListBox(TNovaBaseList* owner);

  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  // The keys of a list box: moving the hover item.
  void ListKeys();
  // Queues the event when its handler is set; `once` skips it while one of the type waits.
  void Raise(uint8_t type, const std::string& handler, std::vector<std::string> params = {},
             bool once = false);
  // Frame cell pictures run by themselves; their changed cells are repainted.
  void AdvanceCells();
  // The scroll bar is part of the picture only while the box is at rest (menus: phase 0).
  virtual bool ScrollAllowed() const { return true; }
  // The highlight behind the hover item (menus only).
  virtual int32_t HoverFill() const { return -1; }
  void MarkLayout();
  void SetText(const std::string& text);

  std::string text_;
  std::vector<std::string> items_;
  TZpLabelList normal_, hover_labels_;
  std::vector<uint8_t> checks_;
  int32_t alpha_ = 255;
  int32_t line_space_ = 0;
  int32_t margin_x_ = 0, margin_y_ = 0;
  int32_t border_width_ = 0, border_color_ = -1;
  int32_t rows_ = 1;
  std::array<TListPicture, kCells> cells_;
  std::array<uint8_t, kCells> halign_{}, valign_{};
  TListPicture scroll_, check_;
  int32_t top_index_ = 0;
  uint8_t text_align_ = 0;
  int32_t hover_ = -1;
  int32_t index_ = -1;
  int32_t press_mode_ = pmNone;
  int32_t drag_offset_ = 0;
  int64_t repeat_clock_ = 0;
  int32_t repeat_remaining_ = 0;
  uint8_t arrow_lit_ = 0, track_lit_ = 0;
  uint8_t paused_ = 0;
  int32_t phase_ = 0;
  uint8_t layout_dirty_ = 1;
  std::string on_select_, on_map_in_, on_map_out_, on_idle_;

  bool PlacedSanely() const;
  // The sizes every layout, hit test and draw derives from the frame, labels and pictures.
  struct TGeometry {
    int32_t left_w = 0, right_w = 0, top_h = 0, bottom_h = 0; // frame cells
    int32_t item_h = 0;
    int32_t check_w = 0, check_h = 0;   // one check cell
    int32_t scroll_w = 0, scroll_h = 0; // one scroll cell
    bool scroll_shown = false;
    TSceneRect inner; // the screen rectangle inside the border
  };
  TGeometry Measure() const;

private:
  TSceneRect CellRect(int k, const TGeometry& g) const;
  TSceneRect ItemArea(const TGeometry& g) const;
  void DrawCell(TCustomDIBX& target, int k, const TGeometry& g);
  void DrawScrollBar(TCustomDIBX& target, const TGeometry& g);
  void DrawItems(TCustomDIBX& target, const TGeometry& g);
  int32_t ScrollRange() const;
  int32_t ThumbTop(const TGeometry& g) const;
  // Which part of the scroll bar a point is on (a press mode), pmNone when none.
  int32_t ScrollPartAt(int32_t x, int32_t y, const TGeometry& g) const;
  void DragTo(int32_t pointer_y);
  void RepeatStep();
  void SetPaused(bool p);
  int32_t CellWidth(const TListPicture& p, int parts) const;
};

class TNovaMenu : public TSelectionKind<TNovaCustomListBox> {
public:
  // Play states: open, opening, closed, closing.
  enum : uint8_t { psOpen = 0, psOpening = 1, psClosed = 2, psClosing = 3 };

  explicit TNovaMenu(TNovaBaseList* owner);
  uint8_t GetKind() const override { return LT_MENU; }
  void SetPlayState(uint8_t s);
  uint8_t GetPlayState() const { return play_state_; }
  int32_t Phase() const { return phase_; }
  bool EventsSuppressed() const override { return closing_ != 0; }
  void Select() override;
  bool Update() override;
  void RButtonDown() override;
  bool TakeRightClick() override;
  void KeyRepeatEvent(const std::vector<std::string>& keys) override;

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;
  bool ScrollAllowed() const override { return phase_ == 0; }
  int32_t HoverFill() const override { return hover_color_; }
  bool AutoScrap() const override { return auto_scrap_ != 0; }

private:
  void TakeFocusIfAble();
  void RefocusIfFocused();
  int64_t Now() const;
  int32_t Elapsed() const;

  int32_t delay_ = 0;
  int32_t hover_color_ = -1;
  uint8_t auto_scrap_ = 0, rclick_scrap_ = 0;
  uint8_t play_state_ = psClosed;
  std::string on_opening_, on_opened_, on_closing_, on_closed_;
  uint8_t closing_ = 0;
  int32_t full_height_ = 0;
  int64_t phase_start_ = 0;
};

} // namespace nova
