// SPDX-License-Identifier: MIT
#include "scene/kinds/picture_fill.h"

#include "scene/kinds/image_list.h"

namespace nova {
namespace {

bool Usable(TCustomDIBX& target, const TNovaImageData& frame, int32_t alpha) {
  const TCustomDIBX* pic = frame.Surface();
  return alpha > 0 && pic && !pic->IsEmpty() && pic->BitCount() == target.BitCount();
}

} // namespace

TRect SurfaceRectOf(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  TRect r;
  r.Left = left;
  r.Top = top;
  r.Right = right;
  r.Bottom = bottom;
  return r;
}

void PutFrameCell(TCustomDIBX& target, int32_t x, int32_t y, int32_t alpha, TFlip flip,
                  const TRect& src_rect, const TNovaImageData& frame) {
  if (!Usable(target, frame, alpha))
    return;
  TCustomDIBX& pic = *frame.Surface();
  TCustomDIBX* mask = frame.Mask();
  const TKeyMode key = !mask && frame.KeyColor() != -1 ? TKeyMode::Use : TKeyMode::Ignore;
  if (alpha >= 256) {
    if (mask)
      target.DrawMaskAdd(x, y, alpha - 256, *mask, flip, src_rect, pic);
    else
      target.DrawAdd(x, y, alpha - 256, flip, key, src_rect, pic);
  } else if (alpha == 255) {
    if (mask)
      target.DrawMask(x, y, *mask, flip, src_rect, pic);
    else
      target.Draw(x, y, flip, key, src_rect, pic);
  } else if (mask) {
    target.DrawMaskAlpha(x, y, alpha, *mask, flip, src_rect, pic);
  } else {
    target.DrawAlpha(x, y, alpha, flip, key, src_rect, pic);
  }
}

void RepeatFrameCell(TCustomDIBX& target, const TRect& dst, int32_t phase_x, int32_t phase_y,
                     int32_t alpha, TFlip flip, const TRect& src_rect,
                     const TNovaImageData& frame) {
  if (!Usable(target, frame, alpha) || dst.Right <= dst.Left || dst.Bottom <= dst.Top ||
      src_rect.Right <= src_rect.Left || src_rect.Bottom <= src_rect.Top)
    return;
  TCustomDIBX& pic = *frame.Surface();
  TCustomDIBX* mask = frame.Mask();
  const TKeyMode key = !mask && frame.KeyColor() != -1 ? TKeyMode::Use : TKeyMode::Ignore;
  if (alpha == 255) {
    if (mask)
      target.TileDrawMask(dst, 0, phase_y, phase_x, *mask, flip, src_rect, pic, 0);
    else
      target.TileDraw(dst, 0, phase_y, phase_x, flip, key, src_rect, pic, 0);
  } else if (alpha >= 256) {
    if (mask)
      target.TileDrawMaskAdd(dst, 0, phase_y, phase_x, alpha - 256, *mask, flip, src_rect, pic, 0);
    else
      target.TileDrawAdd(dst, 0, phase_y, phase_x, alpha - 256, flip, key, src_rect, pic, 0);
  } else if (mask) {
    target.TileDrawMaskAlpha(dst, 0, phase_y, phase_x, alpha, *mask, flip, src_rect, pic, 0);
  } else {
    target.TileDrawAlpha(dst, 0, phase_y, phase_x, alpha, flip, key, src_rect, pic, 0);
  }
}

} // namespace nova
