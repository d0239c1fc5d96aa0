// SPDX-License-Identifier: MIT
#include "graphics/wisp_frame.h"

#include <algorithm>

#include "base/nova_error.h"

namespace nova {

TWispLayer& TWispFrame::Layer(int index) {
  if (index < 0 || static_cast<size_t>(index) >= layers.size()) {
    throw ENovaError("Error:TWispFrame.GetLayer");
  }
  return layers[static_cast<size_t>(index)];
}

void TWispFrame::SetTransparent(int32_t raw) {
  transparent = raw;
  // The key colour is what the raw value reads back as from a pixel of this format.
  key_color =
      raw < 0 ? -1 : static_cast<int32_t>(picture.color.RawToColor(static_cast<uint32_t>(raw)));
}

void TWispFrame::MakeMask() {
  if (picture.has_alpha)
    return;
  TWispBitmap& color = picture.color;
  picture.alpha.SetSize(color.width(), color.height(), 8);
  picture.has_alpha = true;
  const bool keyed = transparent >= 0;
  const uint32_t key = color.TruncateRaw(static_cast<uint32_t>(transparent));
  for (int32_t y = 0; y < color.height(); ++y) {
    uint8_t* a = picture.alpha.Row(y);
    for (int32_t x = 0; x < color.width(); ++x) {
      a[x] = keyed && color.GetRaw(x, y) == key ? 0 : 255;
    }
  }
}

bool TWispFrame::ContentRect(TRect& rect) const {
  const TWispBitmap& color = picture.color;
  const bool by_alpha = picture.has_alpha;
  if (!by_alpha && transparent < 0)
    return false;
  const uint32_t key = color.TruncateRaw(static_cast<uint32_t>(transparent));
  rect = {color.width(), color.height(), 0, 0};
  for (int32_t y = 0; y < color.height(); ++y) {
    const uint8_t* a = by_alpha ? picture.alpha.Row(y) : nullptr;
    for (int32_t x = 0; x < color.width(); ++x) {
      bool content = by_alpha ? a[x] != 0 : color.GetRaw(x, y) != key;
      if (!content)
        continue;
      rect.Left = std::min(rect.Left, x);
      rect.Right = std::max(rect.Right, x + 1);
      rect.Top = std::min(rect.Top, y);
      rect.Bottom = std::max(rect.Bottom, y + 1);
    }
  }
  return true;
}

// Regions come from files and may hold any values: Intersect works in 64 bits.
static void ClipRegions(std::vector<TRect>& regions, const TRect& content) {
  std::vector<TRect> kept;
  for (const TRect& r : regions) {
    TRect inside = Intersect(r, content);
    if (inside.IsEmpty())
      continue;
    kept.push_back({inside.Left - content.Left, inside.Top - content.Top,
                    inside.Right - content.Left, inside.Bottom - content.Top});
  }
  regions = std::move(kept);
}

WispPoint TWispFrame::Trim() {
  TRect content;
  const TRect whole{0, 0, Width(), Height()};
  if (!ContentRect(content) || content.IsEmpty() || content == whole)
    return {};
  picture.color.Crop(content);
  if (picture.has_alpha)
    picture.alpha.Crop(content);
  ClipRegions(visible_regions, content);
  ClipRegions(opaque_regions, content);
  return {content.Left, content.Top};
}

} // namespace nova
