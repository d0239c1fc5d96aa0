// SPDX-License-Identifier: MIT
// Putting an image component's picture on its target surface.
#include "graphics/dibx_custom.h"
#include "graphics/dibx_wave.h"
#include "scene/kinds/custom_image.h"
#include "scene/private/surface_rect.h"

namespace nova {
namespace {

double EffectiveZoom(long double zoom, int32_t size, int32_t picture) {
  if (zoom != 0 || picture <= 0)
    return static_cast<double>(zoom);
  return static_cast<double>(size) / picture;
}

} // namespace

void TNovaCustomImage::PutPicture(TCustomDIBX& target, int32_t x, int32_t y,
                                  const TRect& src_rect) {
  TCustomDIBX& pic = *GetSurface();
  TCustomDIBX* mask = GetMask();
  const TFlip flip = MakeFlip(flip_v_ != 0, flip_h_ != 0);
  const TKeyMode key = pic.TransparentColor() != -1 ? TKeyMode::Use : TKeyMode::Ignore;
  switch (DrawModeOf(alpha_)) {
  case TImageDrawMode::None:
    return;
  case TImageDrawMode::Blend:
    if (mask)
      target.DrawMaskAlpha(x, y, alpha_, *mask, flip, src_rect, pic);
    else
      target.DrawAlpha(x, y, alpha_, flip, key, src_rect, pic);
    return;
  case TImageDrawMode::Copy:
    if (mask)
      target.DrawMask(x, y, *mask, flip, src_rect, pic);
    else
      target.Draw(x, y, flip, key, src_rect, pic);
    return;
  case TImageDrawMode::Add:
    if (mask)
      target.DrawMaskAdd(x, y, alpha_ - 256, *mask, flip, src_rect, pic);
    else
      target.DrawAdd(x, y, alpha_ - 256, flip, key, src_rect, pic);
    return;
  }
}

void TNovaCustomImage::DrawRegions(TCustomDIBX& target, const std::vector<TRect>& regions) {
  TCustomDIBX& pic = *GetSurface();
  const int32_t x = ScreenLeft(), y = ScreenTop();
  const TRect saved = target.StoredClip();
  const TRect clip = target.ClipRect();
  for (const TRect& r : regions) {
    const int32_t left = flip_h_ ? pic.Width() - r.Right : r.Left;
    const int32_t top = flip_v_ ? pic.Height() - r.Bottom : r.Top;
    const TRect on_screen =
        Intersect(TRect{x + left, y + top, x + left + r.Width(), y + top + r.Height()}, clip);
    if (on_screen.IsEmpty())
      continue;
    target.ResetClip();
    target.AddClipRect(on_screen);
    PutPicture(target, x, y, pic.Bounds());
  }
  target.SetStoredClip(saved);
}

void TNovaCustomImage::DrawImage() {
  TCustomDIBX* pic = GetSurface();
  TCustomDIBX* target = GetTargetSurface();
  if (!pic || pic->IsEmpty() || !target || alpha_ < 1 || width_ < 1 || height_ < 1)
    return;
  if (pic->BitCount() != target->BitCount())
    return;
  TCustomDIBX* mask = GetMask();
  const TFlip flip = MakeFlip(flip_v_ != 0, flip_h_ != 0);
  const TKeyMode key = !mask && pic->TransparentColor() != -1 ? TKeyMode::Use : TKeyMode::Ignore;
  const bool same_size = pic->Width() == width_ && pic->Height() == height_;
  // The surfaces offer one rotated draw; the antialiased request takes it too.
  if (HasRotation() || (antialias_ && !same_size)) {
    int32_t sx, sy, px, py;
    GetAnchorInfo(sx, sy, px, py);
    const double zx = EffectiveZoom(zoom_x_, width_, pic->Width());
    const double zy = EffectiveZoom(zoom_y_, height_, pic->Height());
    const double angle = static_cast<double>(angle_);
    if (mask)
      target->DrawRotateMask(sx, sy, alpha_, *mask, flip, angle, py, px, pic->Bounds(), *pic, zy,
                             zx);
    else
      target->DrawRotate(sx, sy, alpha_, key, flip, angle, py, px, pic->Bounds(), *pic, zy, zx);
    return;
  }
  if (same_size) {
    const std::vector<TRect>* regions = VisibleRegions();
    if (regions && !regions->empty() && !dynamic_cast<TDIBXWave*>(target))
      DrawRegions(*target, *regions);
    else
      PutPicture(*target, ScreenLeft(), ScreenTop(), pic->Bounds());
    return;
  }
  const TRect dst = ToSurfaceRect(ScreenBounds());
  if (DrawModeOf(alpha_) == TImageDrawMode::Add) {
    if (mask)
      target->StretchDrawMaskAdd(dst, *pic, alpha_ - 256, *mask, flip, pic->Bounds());
    else
      target->StretchDrawAdd(dst, *pic, alpha_ - 256, flip, key, pic->Bounds());
  } else if (mask) {
    target->StretchDrawMaskAlpha(dst, *pic, alpha_, *mask, flip, pic->Bounds());
  } else {
    target->StretchDrawAlpha(dst, *pic, alpha_, flip, key, pic->Bounds());
  }
}

} // namespace nova
