// SPDX-License-Identifier: MIT
// The menu: opening and closing over its delay, closing on a choice, a right click or Escape.
#include <algorithm>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "scene/kinds/nova_menu.h"
#include "scene/nova_base.h"

namespace nova {
namespace {

constexpr int kEnter = 13, kSpace = 32, kEscape = 27;

// Phases of the menu's update.
enum : int32_t {
  phIdle = 0,
  phCloseRequested = 10,
  phOpen = 100,
  phOpenStart = 101,
  phOpening = 102,
  phClose = 200,
  phClosing = 201,
  phCloseNow = 300,
  phClosedNow = 301,
  phWaitEvents = 302
};

} // namespace

TNovaMenu::TNovaMenu(TNovaBaseList* owner) : TSelectionKind(owner) {}

int64_t TNovaMenu::Now() const { return RunState().GameClock; }

int32_t TNovaMenu::Elapsed() const {
  return static_cast<int32_t>(std::clamp<int64_t>(Now() - phase_start_, 0, INT32_MAX));
}

void TNovaMenu::TakeFocusIfAble() {
  if (owner_ && Visible() && !IsPaused() && HandleKey())
    owner_->SetFocus(this);
}

void TNovaMenu::RefocusIfFocused() {
  if (owner_ && owner_->Focus() == this)
    owner_->RequestRefocus();
}

void TNovaMenu::SetPlayState(uint8_t s) {
  auto settled = [](uint8_t v) -> uint8_t {
    return v == psOpening ? psOpen : v == psClosing ? psClosed : v;
  };
  if (settled(play_state_) == settled(s))
    return;
  play_state_ = s;
  switch (s) {
  case psOpen:
    Relayout();
    phase_ = phIdle;
    TakeFocusIfAble();
    Raise(PR_ONOPENING, on_opening_);
    Raise(PR_ONOPENED, on_opened_);
    break;
  case psOpening:
    phase_ = phOpen;
    TakeFocusIfAble();
    break;
  case psClosed:
    SetHeight(0);
    phase_ = phIdle;
    RefocusIfFocused();
    Raise(PR_ONCLOSING, on_closing_);
    Raise(PR_ONCLOSED, on_closed_);
    break;
  default:
    phase_ = phClose;
    RefocusIfFocused();
    break;
  }
}

void TNovaMenu::Select() {
  TNovaCustomListBox::Select();
  if (auto_scrap_) {
    closing_ = 1;
    phase_ = phCloseNow;
  }
}

bool TNovaMenu::Update() {
  const bool done = TNovaControl::Update();
  AdvanceCells();
  switch (phase_) {
  case phIdle:
    if (layout_dirty_)
      Relayout();
    break;
  case phCloseRequested:
    if (layout_dirty_)
      Relayout();
    SetPlayState(psClosing);
    break;
  case phOpen:
    Relayout();
    Raise(PR_ONOPENING, on_opening_);
    full_height_ = height_;
    SetHeight(0);
    phase_ = phOpenStart;
    break;
  case phOpenStart:
    phase_start_ = Now();
    phase_ = phOpening;
    break;
  case phOpening:
    if (delay_ > 0 && Elapsed() < delay_) {
      SetHeight(static_cast<int32_t>(int64_t{Elapsed()} * full_height_ / delay_));
    } else {
      SetHeight(full_height_);
      phase_ = phIdle;
      Raise(PR_ONOPENED, on_opened_);
    }
    break;
  case phClose:
    closing_ = 1;
    // A menu opened at once never measured its full height.
    if (full_height_ == 0)
      full_height_ = height_;
    phase_start_ = Now();
    phase_ = phClosing;
    Raise(PR_ONCLOSING, on_closing_);
    break;
  case phClosing:
    closing_ = 1;
    if (delay_ > 0 && Elapsed() < delay_) {
      SetHeight(static_cast<int32_t>(full_height_ - int64_t{Elapsed()} * full_height_ / delay_));
    } else {
      Raise(PR_ONCLOSED, on_closed_);
      phase_ = phWaitEvents;
    }
    break;
  case phCloseNow:
    closing_ = 1;
    Raise(PR_ONCLOSING, on_closing_);
    Raise(PR_ONCLOSED, on_closed_);
    phase_ = phClosedNow;
    break;
  case phClosedNow:
    phase_ = phWaitEvents;
    break;
  case phWaitEvents:
    // The menu goes once its closing events have run.
    return !EventQueued(PR_ONCLOSING) && !EventQueued(PR_ONCLOSED);
  default:
    break;
  }
  return done;
}

void TNovaMenu::RButtonDown() {
  if (IsPaused() || !rclick_scrap_) {
    TNovaCustomListBox::RButtonDown();
    return;
  }
  SetSelection(owner_, std::string(), -1);
  SetPlayState(psClosing);
  if (TNovaBase* layer = GetBase())
    layer->right_click = false;
}

bool TNovaMenu::TakeRightClick() {
  if (EventsSuppressed() || (ignore_mouse_ != IM_NONE && ignore_mouse_ != IM_LCLICK))
    return false;
  // A right click cancels: scripts read no choice, as after Escape.
  SetSelection(owner_, std::string(), -1);
  closing_ = 1;
  phase_ = phCloseRequested;
  return true;
}

void TNovaMenu::KeyRepeatEvent(const std::vector<std::string>& keys) {
  if (play_state_ == psClosed || play_state_ == psClosing || !owner_)
    return;
  if ((owner_->KeyClickedBefore(kEnter) || owner_->KeyClickedBefore(kSpace)) && hover_ >= 0 &&
      !closing_)
    Select();
  else if (owner_->KeyClickedBefore(kEscape) && rclick_scrap_ && play_state_ != psClosed)
    phase_ = phCloseRequested;
  TNovaCustomListBox::KeyRepeatEvent(keys);
}

const TPropTable& TNovaMenu::Props() {
  using T = TNovaMenu;
  using namespace props;
  static constexpr std::array kRows{
      Field<&T::delay_>(PR_DELAY),
      Custom<T>(
          PR_HOVERCOLOR, pePicture, [](const T& o) { return TPropValue::Int(o.hover_color_); },
          [](T& o, const TPropValue& v) {
            o.hover_color_ = v.i;
            o.Invalidate();
          }),
      Flag<&T::auto_scrap_>(PR_AUTOSCRAP),
      Flag<&T::rclick_scrap_>(PR_RCLICKSCRAP),
      Field<&T::on_opening_>(PR_ONOPENING),
      Field<&T::on_opened_>(PR_ONOPENED),
      Field<&T::on_closing_>(PR_ONCLOSING),
      Field<&T::on_closed_>(PR_ONCLOSED),
      // While the menu opens or closes, its full height.
      Custom<T>(
          PR_ORIGHEIGHT, peNone,
          [](const T& o) {
            return TPropValue::Int(o.play_state_ == psOpening || o.play_state_ == psClosing
                                       ? o.full_height_
                                       : o.height_);
          },
          nullptr),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaCustomListBox::Props, kRows);
  return kTable;
}

void TNovaMenu::SyncKind(TSerializer& s) {
  TNovaCustomListBox::SyncKind(s);
  s.I32(delay_);
  s.I32(hover_color_);
  s.U8(auto_scrap_);
  s.U8(rclick_scrap_);
  s.U8(play_state_);
  s.String(on_opening_);
  s.String(on_opened_);
  s.String(on_closing_);
  s.String(on_closed_);
  if (s.Saving())
    return;
  play_state_ &= 3;
  Relayout();
  full_height_ = height_;
  // A closed menu stays out of sight after loading.
  if (play_state_ == psClosed)
    height_ = 0;
  phase_start_ = Now();
  closing_ = phase_ >= phClose || phase_ == phCloseRequested ? 1 : 0;
}

} // namespace nova
