// SPDX-License-Identifier: MIT
#include "text/dibx_paint_target.h"

#include "graphics/dibx.h"

namespace nova {
namespace {

// The surfaces' operations take their sources by non-const reference but only read them.
TDIBX MaskView(const CoverageSurface& mask) {
  TDIBX view;
  view.BorrowPixels(const_cast<uint8_t*>(mask.Row(0)), mask.width(), mask.height(), 8,
                    mask.stride());
  return view;
}

TRect ToRect(const TextRect& r) { return {r.left, r.top, r.right, r.bottom}; }

} // namespace

void DibxPaintTarget::DrawColorMask(int x, int y, const CoverageSurface& mask, const TextRect& src,
                                    uint32_t colorref, int alpha) {
  if (mask.width() == 0 || mask.height() == 0)
    return;
  TDIBX view = MaskView(mask);
  dest_.DrawColorMask(x, y, alpha,
                      static_cast<TPixel>(dest_.ColorToPixel(static_cast<int32_t>(colorref))),
                      FlipNone, ToRect(src), view);
}

void DibxPaintTarget::DrawMask(int x, int y, const TextColorSurface& color,
                               const CoverageSurface& mask, const TextRect& src, int alpha) {
  if (mask.width() == 0 || mask.height() == 0 || color.width() == 0 || color.height() == 0)
    return;
  TDIBX mask_view = MaskView(mask);
  TDIBX color_view;
  color_view.BorrowPixels(const_cast<uint8_t*>(color.bits()), color.width(), color.height(),
                          color.bpp(), color.stride());
  if (alpha >= 255)
    dest_.DrawMask(x, y, mask_view, FlipNone, ToRect(src), color_view);
  else
    dest_.DrawMaskAlpha(x, y, alpha, mask_view, FlipNone, ToRect(src), color_view);
}

} // namespace nova
