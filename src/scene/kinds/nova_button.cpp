// SPDX-License-Identifier: MIT
#include "scene/kinds/nova_button.h"

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "graphics/dibx.h"
#include "scene/nova_base.h"
#include "scene/nova_base_list.h"
#include "scene/nova_motion.h"
#include "text/dibx_paint_target.h"

namespace nova {
namespace {

constexpr int kEnter = 13, kSpace = 32;

int32_t StateOfSource(int id) {
  switch (id) {
  case PR_HOVERSOURCE:
    return TNovaButton::bsHover;
  case PR_PRESSEDSOURCE:
    return TNovaButton::bsPressed;
  default:
    return TNovaButton::bsClicked;
  }
}

} // namespace

TNovaButton::TNovaButton(TNovaBaseList* owner) : TNovaImages(owner) {}
TNovaButton::~TNovaButton() = default;

std::unique_ptr<TNovaMotion>& TNovaButton::MotionOf(int32_t s) {
  return s == motion_state_ ? motion_ : parked_[static_cast<size_t>(s)];
}

bool TNovaButton::StateHasPicture(int32_t s) {
  if (s <= bsNormal)
    return true;
  if (MotionOf(s))
    return true;
  const int keep = state_;
  state_ = s;
  TNovaImageList* list = GetFrameList();
  state_ = keep;
  return list && list->Count() > 0;
}

void TNovaButton::BringMotion(int32_t s) {
  if (s < 0 || s == motion_state_)
    return;
  parked_[static_cast<size_t>(motion_state_)] = std::move(motion_);
  motion_ = std::move(parked_[static_cast<size_t>(s)]);
  motion_state_ = s;
  if (!motion_) {
    SetMotionX(0);
    SetMotionY(0);
    SetPriorityOffset(0);
  }
}

void TNovaButton::SetState(int32_t s) {
  if (state_ == bsClicked) {
    return_state_ = s;
    return;
  }
  if (s == state_ || !StateHasPicture(s))
    return;
  Invalidate();
  BringMotion(s);
  state_ = s;
  if (s == bsClicked)
    return_state_ = bsNormal;
  // The state's frames start again from the first.
  if (motion_) {
    frame_index_ = -1;
    SetSubstituteSurface(nullptr);
    substitute_mask_ = nullptr;
    motion_->Restart();
  } else {
    SetIndex(-1);
    SetIndex(0);
  }
}

void TNovaButton::SetStateSource(int32_t s, const std::string& file) {
  std::string& name = state_sources_[static_cast<size_t>(s)];
  if (file == name)
    return;
  name = file;
  const bool shown = state_ == s;
  if (shown) {
    SetIndex(-1);
    SetSubstituteSurface(nullptr);
    substitute_mask_ = nullptr;
  }
  const int keep = state_;
  state_ = s;
  TNovaImageList* list = GetFrameList();
  state_ = keep;
  list->Clear();
  std::unique_ptr<TNovaMotion>& motion = MotionOf(s);
  if (motion) {
    if (&motion == &motion_)
      FreeMotion();
    else
      motion.reset();
  }
  if (IsExtension(file, ".WSP")) {
    list->Load(ServicesOf(owner_).images.cache, this, file);
  } else if (IsExtension(file, ".NMT")) {
    if (const TMotionFilmLoader& loader = ServicesOf(owner_).motion_films)
      if (std::unique_ptr<IMotionFilm> film = loader(*this, file))
        motion = std::make_unique<TNovaMotion>(*this, std::move(film));
  }
  if (shown && list->Count() > 0)
    SetIndex(0);
}

void TNovaButton::Click() {
  if (!on_notify_.empty())
    QueueEvent(PR_ONNOTIFY, on_notify_);
  if (group_ == 0) {
    SetState(bsClicked);
    // Without a clicked picture there is no animation to wait for.
    if (state_ != bsClicked && auto_scrap_)
      pressed_ = -1;
  } else if (allow_all_up_ || !selected_) {
    SetSelected(!selected_);
  }
}

void TNovaButton::SetGroupSelected(bool b) {
  selected_ = b ? 1 : 0;
  SetState(b ? bsPressed : bsNormal);
}

void TNovaButton::SetSelected(bool b) {
  if (b == (selected_ != 0) || (b && group_ == 0))
    return;
  selected_ = b ? 1 : 0;
  SetState(b ? bsPressed : bsNormal);
  NormaliseGroup();
}

void TNovaButton::SetGroup(int32_t g) {
  group_ = g;
  NormaliseGroup();
}

void TNovaButton::SetAllowAllUp(bool b) {
  for (TNovaButton* m : GroupMembers())
    m->SetGroupAllowAllUp(b);
  allow_all_up_ = b ? 1 : 0;
  NormaliseGroup();
}

std::vector<TNovaButton*> TNovaButton::GroupMembers() const {
  std::vector<TNovaButton*> out;
  if (group_ == 0 || !parent_)
    return out;
  for (TNovaControl* c : parent_->Children())
    if (auto* b = dynamic_cast<TNovaButton*>(c); b && b->group_ == group_)
      out.push_back(b);
  return out;
}

void TNovaButton::NormaliseGroup() {
  const std::vector<TNovaButton*> members = GroupMembers();
  if (members.empty())
    return;
  TNovaButton* winner = selected_ ? this : nullptr;
  for (size_t i = 0; !winner && i < members.size(); ++i)
    if (members[i]->selected_)
      winner = members[i];
  if (!winner && !allow_all_up_)
    winner = members.front();
  for (TNovaButton* m : members)
    if ((m->selected_ != 0) != (m == winner))
      m->SetGroupSelected(m == winner);
}

bool TNovaButton::PointerOnButton() const {
  TNovaBase* layer = GetBase();
  return layer && layer->HitTest(layer->pointer_x, layer->pointer_y, kAcceptLeftPress) == this;
}

void TNovaButton::LButtonDown() {
  if (ignore_mouse_ != IM_NONE && ignore_mouse_ != IM_RCLICK) {
    TNovaImages::LButtonDown();
    return;
  }
  TNovaBase* layer = GetBase();
  if (!IsPaused() && state_ != bsClicked) {
    if (layer)
      layer->capture |= kCaptureLeft;
    SetState(bsPressed);
    pressed_ = 1;
  }
  if (layer)
    layer->left_click = false;
}

void TNovaButton::MouseMove() {
  if (pressed_ == 0) {
    if (IsPaused() || selected_)
      SetState(selected_ ? bsPressed : bsNormal);
    else
      SetState(bsHover);
    TNovaImages::MouseMove();
  } else if (pressed_ == 1) {
    SetState(!selected_ && !PointerOnButton() ? bsNormal : bsPressed);
  }
}

void TNovaButton::MouseOut(TNovaControl* next) {
  if (state_ != bsClicked)
    SetState(selected_ ? bsPressed : bsNormal);
  TNovaImages::MouseOut(next);
}

void TNovaButton::LButtonUp() {
  if (pressed_ == 1 && PointerOnButton()) {
    Click();
    if (pressed_ == -1)
      return;
  }
  pressed_ = 0;
  if (group_ == 0 && state_ != bsClicked)
    SetState(bsNormal);
}

void TNovaButton::KeyRepeatEvent(const std::vector<std::string>& keys) {
  if (owner_ && (owner_->KeyRepeatBefore(kEnter) || owner_->KeyRepeatBefore(kSpace)))
    Click();
  TNovaImages::KeyRepeatEvent(keys);
}

bool TNovaButton::Update() {
  if (pressed_ == -1)
    return true;
  bool ended = false;
  if (motion_) {
    ended = motion_->Advance(RunState().FrameDelta);
    if (size_dirty_) {
      size_dirty_ = 0;
      Invalidate();
    }
  } else {
    // The picture's own upkeep (size from zoom, afterimages); without a motion the control
    // part has nothing to advance.
    if (TNovaCustomImage::Update())
      return true;
    TNovaImageList* list = GetFrameList();
    if (list && list->Frame(frame_index_) && Visible() && !paused_ && !ani_paused_) {
      countdown_ -= RunState().FrameDelta;
      while (countdown_ < 1) {
        if (frame_index_ < list->Count() - 1) {
          SetIndex(frame_index_ + 1);
          continue;
        }
        ended = state_ == bsClicked;
        if (!ended) {
          countdown_ = 0;
          SetIndex(0);
        }
        break;
      }
    }
  }
  if (!ended)
    return false;
  if (auto_scrap_)
    return true;
  if (!on_play_end_.empty())
    QueueEvent(PR_ONPLAYEND, on_play_end_);
  state_ = -1;
  SetState(return_state_);
  return false;
}

// Every state's frames hold adjusted copies, not only the shown state's.
void TNovaButton::ReleaseSurfaces() {
  TNovaImages::ReleaseSurfaces();
  for (auto& list : lists_)
    if (list)
      list->ReleaseSurfaces();
}

void TNovaButton::RestoreSurfaces() {
  for (auto& list : lists_)
    if (list)
      list->RestoreSurfaces();
  TNovaImages::RestoreSurfaces();
}

void TNovaButton::CaptionChanged() {
  caption_.SetLines(caption_text_.empty() ? std::vector<std::string>{}
                                          : std::vector<std::string>{caption_text_});
  caption_measured_ = false;
  Invalidate();
}

void TNovaButton::AfterDrawImage() {
  if (caption_text_.empty() || caption_.Count() == 0)
    return;
  TCustomDIBX* target = GetTargetSurface();
  if (!target || target->IsEmpty())
    return;
  if (!caption_measured_) {
    caption_.Measure();
    caption_measured_ = true;
  }
  caption_.Render(target->BitCount());
  const TZpLabelDIB& label = caption_.At(0);
  const int shift = state_ == bsPressed || state_ == bsClicked ? 1 : 0;
  // Positions from scripts may lie anywhere; a caption that far away is not drawn.
  const int64_t x = int64_t{ScreenLeft()} + (int64_t{width_} - label.width) / 2 + shift;
  const int64_t y = int64_t{ScreenTop()} + (int64_t{height_} - label.height) / 2 + shift;
  if (x < INT32_MIN / 2 || x > INT32_MAX / 2 || y < INT32_MIN / 2 || y > INT32_MAX / 2)
    return;
  DibxPaintTarget paint(*target);
  caption_.Paint(0, paint, static_cast<int>(x), static_cast<int>(y));
}

const std::string& TNovaButton::StateSourceOf(int id) const {
  return state_sources_[static_cast<size_t>(StateOfSource(id))];
}

const TPropTable& TNovaButton::Props() {
  using T = TNovaButton;
  using namespace props;
  static constexpr std::array kRows{
      Custom<T>(
          PR_HOVERSOURCE, peGeometry,
          [](const T& o) { return TPropValue::Str(o.StateSourceOf(PR_HOVERSOURCE)); },
          [](T& o, const TPropValue& v) { o.SetStateSource(StateOfSource(PR_HOVERSOURCE), v.s); }),
      Custom<T>(
          PR_PRESSEDSOURCE, peGeometry,
          [](const T& o) { return TPropValue::Str(o.StateSourceOf(PR_PRESSEDSOURCE)); },
          [](T& o, const TPropValue& v) {
            o.SetStateSource(StateOfSource(PR_PRESSEDSOURCE), v.s);
          }),
      Custom<T>(
          PR_CLICKEDSOURCE, peGeometry,
          [](const T& o) { return TPropValue::Str(o.StateSourceOf(PR_CLICKEDSOURCE)); },
          [](T& o, const TPropValue& v) {
            o.SetStateSource(StateOfSource(PR_CLICKEDSOURCE), v.s);
          }),
      // The normal picture loads into the normal state's slots whatever state is shown.
      Custom<T>(PR_SOURCE, peGeometry, nullptr,
                [](T& o, const TPropValue& v) {
                  const int32_t shown = o.state_;
                  if (shown != bsNormal) {
                    o.BringMotion(bsNormal);
                    o.state_ = bsNormal;
                  }
                  const int32_t index = o.frame_index_;
                  o.TNovaImages::SetSource(v.s);
                  if (shown != bsNormal) {
                    o.state_ = shown;
                    o.BringMotion(shown);
                    // The shown state's frame comes back.
                    o.frame_index_ = -1;
                    if (!o.motion_)
                      o.SetIndex(index);
                  }
                }),
      Stored<&T::group_, &T::SetGroup>(PR_GROUPINDEX, pePicture),
      Stored<&T::selected_, &T::SetSelected>(PR_SELECTED, pePicture),
      Stored<&T::allow_all_up_, &T::SetAllowAllUp>(PR_ALLOWALLUP, pePicture),
      Field<&T::on_notify_>(PR_ONNOTIFY),
      // Resuming a paused button shows it normal again.
      Custom<T>(PR_PAUSED, pePicture, nullptr,
                [](T& o, const TPropValue& v) {
                  const bool was = o.paused_ != 0;
                  o.paused_ = v.f ? 1 : 0;
                  if (was && !v.f)
                    o.SetState(bsNormal);
                }),
      Custom<T>(
          PR_REPEAT, peNone, [](const T& o) { return TPropValue::Flag(o.state_ != bsClicked); },
          nullptr),
      Custom<T>(
          PR_TEXT, peGeometry, [](const T& o) { return TPropValue::Str(o.caption_text_); },
          [](T& o, const TPropValue& v) {
            o.caption_text_ = v.s;
            o.CaptionChanged();
          }),
      Custom<T>(
          PR_FONTNAME, peGeometry, [](const T& o) { return TPropValue::Str(o.caption_.face); },
          [](T& o, const TPropValue& v) {
            o.caption_.face = v.s;
            o.CaptionChanged();
          }),
      Custom<T>(
          PR_FONTHEIGHT, peGeometry, [](const T& o) { return TPropValue::Int(o.caption_.size); },
          [](T& o, const TPropValue& v) {
            o.caption_.size = v.i;
            o.CaptionChanged();
          }),
      Custom<T>(
          PR_FONTSTYLE, peGeometry, [](const T& o) { return TPropValue::Int(o.caption_.style); },
          [](T& o, const TPropValue& v) {
            o.caption_.style = static_cast<uint8_t>(v.i & 0x0F);
            o.CaptionChanged();
          }),
      Custom<T>(
          PR_FONTCOLOR, pePicture, [](const T& o) { return TPropValue::Int(o.caption_.color); },
          [](T& o, const TPropValue& v) {
            o.caption_.color = v.i;
            o.CaptionChanged();
          }),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaImages::Props, kRows);
  return kTable;
}

void TNovaButton::SyncKind(TSerializer& s) {
  TNovaImages::SyncKind(s);
  const int32_t index = frame_index_;
  std::array<std::string, 3> sources = {state_sources_[bsHover], state_sources_[bsPressed],
                                        state_sources_[bsClicked]};
  s.String(sources[0]);
  s.String(sources[1]);
  if (s.Loading()) {
    SetStateSource(bsHover, sources[0]);
    SetStateSource(bsPressed, sources[1]);
  }
  s.I32(group_);
  uint8_t selected = selected_;
  s.Flag(selected);
  s.U8(allow_all_up_);
  s.String(on_notify_);
  s.String(on_idle_, Since{104});
  s.String(sources[2], Since{104});
  if (s.Loading() && s.Has(Since{104}))
    SetStateSource(bsClicked, sources[2]);
  if (s.Has(Since{137})) {
    if (s.Saving()) {
      caption_.Save(s.Writer());
    } else {
      caption_.Load(s.Reader(), s.Version());
      CaptionChanged();
    }
  }
  if (s.Saving())
    return;
  SetSelected(selected != 0);
  pressed_ = 0;
  if (frame_index_ != index && !motion_) {
    SetIndex(-1);
    SetIndex(index);
  }
}

} // namespace nova
