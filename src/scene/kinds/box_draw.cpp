// SPDX-License-Identifier: MIT
// Box drawing: border frame and fill, each copied, blended or added by the opacity rule.
#include "graphics/dibx_custom.h"
#include "scene/kinds/nova_box.h"
#include "scene/private/surface_rect.h"

namespace nova {
namespace {

// The colour's channels scaled by the additive strength.
int32_t AddColor(int32_t color, int32_t strength) {
  const uint32_t c = static_cast<uint32_t>(color);
  const uint32_t s = static_cast<uint32_t>(strength);
  const uint32_t r = ((c & 0xFF) * s) >> 8, g = (((c >> 8) & 0xFF) * s) >> 8,
                 b = (((c >> 16) & 0xFF) * s) >> 8;
  return static_cast<int32_t>(r | (g << 8) | (b << 16));
}

void Fill(TCustomDIBX& s, const TRect& r, int32_t color, int32_t alpha) {
  if (alpha == 255) {
    s.FillRect(r, static_cast<TPixel>(s.ColorToPixel(color)));
  } else if (alpha < 255) {
    s.FillRectAlpha(r, static_cast<TPixel>(s.ColorToPixel(color)), alpha);
  } else {
    s.FillRectAdd(r, static_cast<TPixel>(s.ColorToPixel(AddColor(color, alpha - 256))));
  }
}

void Frame(TCustomDIBX& s, const TRect& r, int32_t width, int32_t color, int32_t alpha) {
  if (alpha == 255) {
    s.FrameRect(r, width, static_cast<TPixel>(s.ColorToPixel(color)));
  } else if (alpha < 255) {
    s.FrameRectAlpha(r, width, alpha, static_cast<TPixel>(s.ColorToPixel(color)));
  } else {
    s.FrameRectAdd(r, width, static_cast<TPixel>(s.ColorToPixel(AddColor(color, alpha - 256))));
  }
}

} // namespace

void TNovaBox::Draw() {
  TCustomDIBX* surface = GetTargetSurface();
  if (!surface || !Visible() || alpha_ <= 0 || alpha_ >= 512)
    return;
  const TSceneRect bounds = ScreenBounds();
  if (border_width_ > 0) {
    if (border_color_ != -1)
      Frame(*surface, ToSurfaceRect(bounds), border_width_, border_color_, alpha_);
    if (color_ != -1)
      Fill(*surface, ToSurfaceRect(bounds.Inflate(-border_width_)), color_, alpha_);
  } else if (color_ != -1) {
    Fill(*surface, ToSurfaceRect(bounds), color_, alpha_);
  }
  DrawChildren();
}

} // namespace nova
