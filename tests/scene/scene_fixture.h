// SPDX-License-Identifier: MIT
// Small helpers shared by the scene tests: a scene, a control whose zoom, flips and picture
// size a test chooses, and draining the event queue as the call manager would.
#pragma once
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/run_state.h"
#include "scene/component_factory.h"
#include "scene/kinds/all_kinds.h"
#include "scene/nova_base_list.h"
#include "scene/nova_motion.h"

namespace nova::test {

class TTestControl : public TNovaControl {
public:
  explicit TTestControl(TNovaBaseList* owner) : TNovaControl(owner) {}
  uint8_t GetKind() const override { return LT_BOX; }
  int32_t ZoomX() const override { return zoom_x; }
  int32_t ZoomY() const override { return zoom_y; }
  bool FlipH() const override { return flip_h; }
  bool FlipV() const override { return flip_v; }
  int32_t ScrollX() const override { return scroll_x; }
  int32_t ScrollY() const override { return scroll_y; }
  bool ImageSurfaceSize(int32_t& w, int32_t& h) const override {
    w = surface_w;
    h = surface_h;
    return surface_w > 0;
  }
  int32_t zoom_x = 256, zoom_y = 256;
  bool flip_h = false, flip_v = false;
  int32_t scroll_x = 0, scroll_y = 0;
  int32_t surface_w = 0, surface_h = 0;
};

// A film of `frames` frames that moves the control by one pixel per frame from its origin.
class TFakeFilm : public IMotionFilm {
public:
  explicit TFakeFilm(int frames) : frames_(frames) {}
  int FrameCount() const override { return frames_; }
  int LoopStart() const override { return 0; }
  bool HasPositionTrack() const override { return true; }
  int CurrentFrame() const override { return current_; }
  void SetOrigin(int x, int y) override {
    ox_ = x;
    oy_ = y;
  }
  void SetBasePriority(int) override {}
  void ApplyFrame(int index, TNovaControl& c) override {
    current_ = index;
    c.SetMotionX(ox_ + index);
    c.SetMotionY(oy_);
  }

private:
  int frames_;
  int current_ = -1;
  int ox_ = 0, oy_ = 0;
};

// Films named "<n>.nmt" have n frames in `list`.
inline void UseFakeFilms(TNovaBaseList& list) {
  list.SetMotionFilmLoader([](TNovaControl&, const std::string& file) {
    return std::unique_ptr<IMotionFilm>(new TFakeFilm(std::atoi(file.c_str())));
  });
}

inline TNovaBox* NewBox(TNovaBaseList& list, const std::string& name, int x, int y, int w, int h,
                        TNovaControl* parent = nullptr) {
  auto* box = CreateComponent<TNovaBox>(&list);
  box->SetName(name);
  box->SetParent(parent ? parent : list.Front());
  box->SetBounds(x, y, w, h);
  return box;
}

// One component of every kind that has a class, in kind order, numbered from 1: the visual ones
// placed alternately in `holder` and the back layer, then each handed to `fill(obj, n)`.
template <class Fill> void AddEveryKind(TNovaBaseList& list, TNovaControl* holder, Fill&& fill) {
  int n = 0;
  for (int kind = 0; kind < kNovaKindCount; ++kind) {
    TNovaObject* obj = CreateByKind(&list, static_cast<uint8_t>(kind));
    if (!obj)
      continue;
    ++n;
    if (TNovaControl* c = obj->AsControl())
      c->SetParent(n % 2 ? holder : list.Back());
    fill(obj, n);
  }
}

// Handler texts of the events waiting in the queue, and the queue emptied.
inline std::vector<std::string> Drain(TNovaBaseList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Events().Count(); ++i) {
    const TTimerData& e = list.Events().At(i);
    std::string line = e.handler;
    for (const std::string& p : e.params)
      line += " " + p;
    out.push_back(line);
  }
  list.Events().Clear();
  return out;
}

inline void Frame(TNovaBaseList& list, int ms = 16) {
  RunState().FrameDelta = ms;
  list.InputStep();
  list.UpdateStep();
}

} // namespace nova::test
