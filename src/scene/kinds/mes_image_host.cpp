// SPDX-License-Identifier: MIT
#include "scene/kinds/mes_image_host.h"

#include <algorithm>

#include "graphics/dibx.h"

namespace nova {

TNovaImageData* TMesImageHost::FirstFrame(const std::string& file_name) {
  auto it = pictures_.find(file_name);
  if (it == pictures_.end()) {
    std::unique_ptr<TNovaImageList> list;
    if (exists_ && exists_(file_name)) {
      list = std::make_unique<TNovaImageList>();
      list->Load(this, file_name);
    }
    it = pictures_.emplace(file_name, std::move(list)).first;
  }
  if (!it->second)
    return nullptr;
  TNovaImageData* frame = it->second->Frame(0);
  return frame && frame->Surface() ? frame : nullptr;
}

bool TMesImageHost::Measure(const std::string& file_name, int& width, int& height) {
  TNovaImageData* frame = FirstFrame(file_name);
  if (!frame)
    return false;
  width = frame->Surface()->Width();
  height = frame->Surface()->Height();
  return true;
}

void TMesImageHost::Paint(const std::string& file_name, int x, int y, int opacity) {
  TNovaImageData* frame = target_ && opacity > 0 ? FirstFrame(file_name) : nullptr;
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
