// SPDX-License-Identifier: MIT
#include "scene/kinds/mes_image_host.h"

#include <algorithm>

#include "graphics/dibx.h"

namespace nova {

TNovaImageList* TMesImageHost::Picture(const std::string& file_name) {
  auto it = pictures_.find(file_name);
  if (it == pictures_.end()) {
    std::unique_ptr<TNovaImageList> list;
    if (exists_ && exists_(file_name)) {
      list = std::make_unique<TNovaImageList>();
      list->Load(ServicesOf(owner_).images.cache, this, file_name);
    }
    it = pictures_.emplace(file_name, std::move(list)).first;
  }
  return it->second.get();
}

TNovaImageData* TMesImageHost::FrameOf(const std::string& file_name, int index) {
  TNovaImageList* list = Picture(file_name);
  TNovaImageData* frame = list ? list->Frame(index) : nullptr;
  return frame && frame->Surface() ? frame : nullptr;
}

std::vector<int> TMesImageHost::FrameTimes(const std::string& file_name) {
  std::vector<int> times;
  TNovaImageList* list = Picture(file_name);
  if (!list)
    return times;
  times.reserve(list->Count());
  for (int i = 0; i < list->Count(); ++i)
    times.push_back(list->Frame(i)->DisplayTime());
  return times;
}

bool TMesImageHost::Measure(const std::string& file_name, int& width, int& height) {
  TNovaImageData* frame = FrameOf(file_name, 0);
  if (!frame)
    return false;
  width = frame->Surface()->Width();
  height = frame->Surface()->Height();
  return true;
}

void TMesImageHost::Paint(const std::string& file_name, int x, int y, int opacity) {
  PaintFrame(file_name, 0, x, y, opacity);
}

void TMesImageHost::PaintFrame(const std::string& file_name, int index, int x, int y, int opacity) {
  TNovaImageData* frame = target_ && opacity > 0 ? FrameOf(file_name, index) : nullptr;
  if (!frame)
    return;
  TCustomDIBX& pic = *frame->Surface();
  TCustomDIBX* mask = frame->Mask();
  const TRect src = pic.Bounds();
  const TKeyMode key = pic.TransparentColor() != -1 ? TKeyMode::Use : TKeyMode::Ignore;
  TCustomDIBX& target = *target_;
  // The opacity convention of surfaces: below 255 blends, 255 copies, above adds.
  if (opacity < 255) {
    if (mask)
      target.DrawMaskAlpha(x, y, opacity, *mask, FlipNone, src, pic);
    else
      target.DrawAlpha(x, y, opacity, FlipNone, key, src, pic);
  } else if (opacity == 255) {
    if (mask)
      target.DrawMask(x, y, *mask, FlipNone, src, pic);
    else
      target.Draw(x, y, FlipNone, key, src, pic);
  } else {
    const int strength = std::min(opacity, 511) - 256;
    if (mask)
      target.DrawMaskAdd(x, y, strength, *mask, FlipNone, src, pic);
    else
      target.DrawAdd(x, y, strength, FlipNone, key, src, pic);
  }
}

} // namespace nova
