// SPDX-License-Identifier: MIT
// One of the two scene layers: a control at the root of a tree, with its changed rectangles,
// its own surface and the pointer state the window writes into it.
#pragma once
#include <memory>

#include "scene/clip_list.h"
#include "scene/nova_control.h"

namespace nova {

class TDIBX;

// Capture flags of a layer: a component took a press and receives the matching release.
constexpr uint8_t kCaptureLeft = 4;
constexpr uint8_t kCaptureRight = 8;

class TNovaBase : public TNovaControl {
public:
  TNovaBase(TNovaBaseList* owner, int index);
  ~TNovaBase() override;
  bool IsLayer() const override { return true; }
  int Index() const { return index_; }

  // Clamped to the layer; merged with near rectangles. A cinema's layer also reports to the
  // layer that holds the cinema.
  void AddDirtyRect(const TSceneRect& r);
  void InvalidateAll() { AddDirtyRect(TSceneRect::FromSize(0, 0, width_, height_)); }
  TClipList& DirtyRects() { return dirty_; }
  // Redraws the changed rectangles into the drawing surface.
  void Draw() override;
  TCustomDIBX* GetTargetSurface() const override;
  TDIBX* OwnSurface() const { return surface_.get(); }
  void ResizeSurface(int32_t width, int32_t height, int bit_count);
  void ReleaseSurfaces() override;

  // Pointer state: written by the window (through the base list), latched by the input step.
  int32_t pointer_x = 0, pointer_y = 0;
  bool left_pressed = false, left_click = false;
  bool right_pressed = false, right_click = false;
  bool left_held = false, right_held = false;
  bool pointer_moved = false;
  uint8_t capture = 0;
  TNovaControl* pointer_target = nullptr;
  bool wheel_down_pressed = false, wheel_down = false;
  bool wheel_up_pressed = false, wheel_up = false;
  std::string cursor_file;

  // A cinema's private layer reports its changes to the layer holding the cinema.
  void SetCinemaHost(TNovaControl* cinema) { cinema_host_ = cinema; }

protected:
  bool Honours(int id, bool write) const override;

private:
  int index_;
  TClipList dirty_;
  std::unique_ptr<TDIBX> surface_;
  TNovaControl* cinema_host_ = nullptr;
  // The children's areas during Draw, column-wise, and which of them a changed rectangle
  // touches; kept so that a frame allocates nothing.
  struct TChildAreas {
    std::vector<int32_t> left, top, right, bottom;
    std::vector<uint8_t> touched;
    void Resize(size_t count);
  };
  TChildAreas areas_;
  void TouchedBy(const TSceneRect& a, size_t count);
};

} // namespace nova
