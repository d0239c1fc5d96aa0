// SPDX-License-Identifier: MIT
#include "scene/kinds/cinema.h"

#include <algorithm>
#include <cmath>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "graphics/dibx.h"
#include "scene/nova_base_list.h"

namespace nova {
namespace {

constexpr double kFrameMs = 1000.0 / 60;
// The private scene is never larger than this: its size may come from damaged data, and each
// of its three surfaces has that size.
constexpr int32_t kMaxSceneSide = 2048;

} // namespace

TNovaCinema::TNovaCinema(TNovaBaseList* owner)
    : TNovaControl(owner), scene_(std::make_unique<TNovaBaseList>(0, 0, nullptr)) {
  if (owner) {
    scene_->ShareServices(*owner);
    // The wipe tracks of its films switch the private scene's pages with the same transitions.
    scene_->SetTransitionFactory(owner->TransitionFactory());
  }
  for (int i = 0; i < 2; ++i)
    scene_->GetLayer(i)->SetCinemaHost(this);
}

TNovaCinema::~TNovaCinema() {
  // The film places components into the private scene; it goes first.
  film_.reset();
}

void TNovaCinema::SetWidth(int32_t v) {
  TNovaControl::SetWidth(v);
  SizeScene();
}

void TNovaCinema::SetHeight(int32_t v) {
  TNovaControl::SetHeight(v);
  SizeScene();
}

void TNovaCinema::SizeScene() {
  scene_->SetSceneSize(std::clamp(width_, 0, kMaxSceneSide), std::clamp(height_, 0, kMaxSceneSide));
}

int32_t TNovaCinema::FrameOf(double elapsed_ms) const {
  const double f = std::nearbyint(elapsed_ms / kFrameMs);
  return static_cast<int32_t>(std::clamp(f, 0.0, 2147483647.0));
}

void TNovaCinema::SetSource(const std::string& source) {
  Invalidate();
  if (source != source_) {
    source_ = source;
    film_.reset();
    const TCinemaFilmLoader& load = ServicesOf(owner_).media.films;
    if (load && !source.empty())
      film_ = load(source, std::max(0, volume_));
    if (film_) {
      if (film_->OwnScene()) {
        film_->Attach(*scene_);
      } else if (owner_) {
        // The film places its components into the main scene; the cinema takes its size.
        film_->SetCinema(this);
        film_->Attach(*owner_);
        SetBounds(left_, top_, film_->Width(), film_->Height());
        SizeScene();
      }
      film_->Start();
    }
  }
  scene_->UpdateStep();
  Invalidate();
  elapsed_ms_ = 0;
  ended_ = 0;
  seek_countdown_ = 2;
}

void TNovaCinema::SetFrame(int32_t frame) {
  elapsed_ms_ = std::nearbyint(frame * kFrameMs);
  ended_ = 0;
  seek_countdown_ = 2;
}

bool TNovaCinema::Update() {
  RouteInput();
  if (TNovaControl::Update())
    return true;
  if (film_) {
    film_->SetPaused(paused_ || ani_paused_);
    if (!paused_) {
      if (!ended_ && !ani_paused_ && seek_countdown_ < 1)
        elapsed_ms_ += RunState().FrameDelta;
      const int32_t count = film_->FrameCount();
      int32_t frame = FrameOf(elapsed_ms_);
      if (frame >= count) {
        if (!repeat_) {
          if (auto_scrap_)
            return true;
          if (!ended_ && !play_end_handler_.empty())
            QueueEvent(PR_ONPLAYEND, play_end_handler_);
          ended_ = 1;
          frame = std::max(0, count - 1);
        } else {
          frame = std::min(frame % std::max(count, 1) + film_->LoopStart(), count - 1);
          frame = std::max(frame, 0);
          elapsed_ms_ = std::nearbyint(frame * kFrameMs);
        }
      }
      if (seek_countdown_ == 2 || frame != film_->CurrentFrame())
        film_->Seek(frame);
      if (seek_countdown_ > 0)
        --seek_countdown_;
    }
  }
  scene_->UpdateStep();
  return false;
}

void TNovaCinema::Draw() {
  // A film that places its components into the main scene leaves the private scene empty: its
  // surface would only cover what lies behind the cinema.
  if (film_ && !film_->OwnScene()) {
    DrawChildren();
    return;
  }
  scene_->DrawStep();
  scene_->ClearDirty();
  TCustomDIBX* target = GetTargetSurface();
  TCustomDIBX* picture = scene_->ScreenSurface();
  if (target && picture && !picture->IsEmpty() && target->BitCount() == picture->BitCount())
    target->Draw(ScreenLeft(), ScreenTop(), FlipNone, TKeyMode::Ignore, picture->Bounds(),
                 *picture);
  DrawChildren();
}

TNovaControl* TNovaCinema::HitTest(int32_t x, int32_t y, uint32_t accept_set) {
  if (!Visible() || !GetHitRect().Contains(x, y))
    return nullptr;
  TNovaControl* hit = (accept_set & (1u << ignore_mouse_)) ? this : nullptr;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    TNovaControl* child = *it;
    if (child->IsSystem())
      continue;
    if (TNovaControl* h = child->HitTest(x, y, accept_set))
      return h;
  }
  return hit;
}

void TNovaCinema::LButtonDown() {
  TNovaControl::LButtonDown();
  pressed_left_ = true;
}

void TNovaCinema::RButtonDown() {
  TNovaControl::RButtonDown();
  pressed_right_ = true;
}

void TNovaCinema::RouteInput() {
  TNovaBase* layer = GetBase();
  if (!layer || !IsShown())
    return;
  const int32_t x = layer->pointer_x - ScreenLeft(), y = layer->pointer_y - ScreenTop();
  scene_->SetPointer(x, y);
  if (pressed_left_)
    scene_->PressButton(false);
  if (pressed_right_)
    scene_->PressButton(true);
  pressed_left_ = pressed_right_ = false;
  scene_->SetButtonHeld(false, layer->left_held);
  scene_->SetButtonHeld(true, layer->right_held);
  scene_->InputStep();
  // The call manager runs the main scene's queue only: the private scene's events move there,
  // sent by the cinema, which outlives nothing it does not own.
  TTimerList& own = scene_->Events();
  for (int i = 0; i < own.Count(); ++i) {
    TTimerData e = own.At(i);
    if (e.level != 0 || !owner_)
      continue;
    e.component = this;
    owner_->Events().Append(std::move(e));
  }
  own.Clear();
}

const TPropTable& TNovaCinema::Props() {
  using T = TNovaCinema;
  using namespace props;
  static constexpr std::array kRows{
      Stored<&T::source_, &T::SetSource>(PR_SOURCE, peGeometry),
      Custom<T>(
          PR_VOLUME, peNone, [](const T& o) { return TPropValue::Int(o.volume_); },
          [](T& o, const TPropValue& v) {
            o.volume_ = std::max(0, v.i);
            if (o.film_)
              o.film_->SetVolume(o.volume_);
          }),
      Custom<T>(
          PR_REPEAT, peNone, [](const T& o) { return TPropValue::Flag(o.repeat_ != 0); },
          [](T& o, const TPropValue& v) {
            o.repeat_ = v.f ? 1 : 0;
            if (o.repeat_)
              o.ended_ = 0;
          }),
      Custom<T>(
          PR_PAUSED, peNone, [](const T& o) { return TPropValue::Flag(o.paused_ != 0); },
          [](T& o, const TPropValue& v) {
            o.paused_ = v.f ? 1 : 0;
            if (o.film_)
              o.film_->SetPaused(o.paused_ || o.ani_paused_);
          }),
      Custom<T>(PR_ANIPAUSED, peNone, nullptr,
                [](T& o, const TPropValue& v) {
                  o.ani_paused_ = v.f ? 1 : 0;
                  if (o.film_)
                    o.film_->SetPaused(o.paused_ || o.ani_paused_);
                }),
      Field<&T::play_end_handler_>(PR_ONPLAYEND),
      Field<&T::idle_handler_>(PR_ONIDLE),
      Custom<T>(
          PR_INDEX, pePicture,
          [](const T& o) { return TPropValue::Int(o.film_ ? o.film_->CurrentFrame() : 0); },
          [](T& o, const TPropValue& v) { o.SetFrame(v.i); }),
      Custom<T>(
          PR_COUNT, peNone,
          [](const T& o) { return TPropValue::Int(o.film_ ? o.film_->FrameCount() : 0); }, nullptr),
      Flag<&T::auto_scrap_>(PR_AUTOSCRAP),
      Flag<&T::rewind_on_load_>(PR_REWINDONLOAD),
      Flag<&T::mute_on_load_>(PR_MUTEONLOAD),
      Custom<T>(
          PR_PLAYING, peNone,
          [](const T& o) {
            return TPropValue::Flag(o.film_ &&
                                    o.film_->CurrentFrame() < o.film_->FrameCount() - 1 &&
                                    !o.paused_ && !o.ani_paused_);
          },
          nullptr),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaCinema::SyncKind(TSerializer& s) {
  std::string source = source_;
  s.String(source);
  s.Flag(repeat_);
  s.Flag(paused_);
  s.Flag(auto_scrap_);
  s.String(play_end_handler_);
  s.String(idle_handler_, Since{104});
  int32_t frame = s.Saving() && film_ ? film_->CurrentFrame() : 0;
  s.I32(frame, Since{117});
  s.Flag(rewind_on_load_, Since{117});
  s.I32(volume_, Since{129});
  s.Flag(mute_on_load_, Since{129});
  uint8_t ended = s.Saving() ? ended_ : 0;
  s.Flag(ended, Since{133});
  if (s.Saving())
    return;
  volume_ = std::max(0, volume_);
  SizeScene();
  if (mute_on_load_)
    volume_ = 0;
  source_.clear();
  SetSource(source);
  if (frame > 0 && !rewind_on_load_)
    SetFrame(frame);
  ended_ = ended;
}

} // namespace nova
