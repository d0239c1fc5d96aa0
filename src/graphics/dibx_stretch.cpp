// SPDX-License-Identifier: MIT
#include <algorithm>

#include "graphics/dibx_custom.h"
#include "graphics/private/dibx_engine.h"
#include "graphics/private/dibx_sampling.h"

namespace nova {
namespace {

using dibx::TRowOp;
using dibx::TRowParams;

void Stretched(TCustomDIBX& dst, const TRect& dstRect, TCustomDIBX& src, TCustomDIBX* mask,
               TFlip flip, const TRect& srcRect, TRowOp op, uint32_t alpha) {
  TRect limit;
  if (!dibx::ReadableArea(dst, src, mask, limit))
    return;
  TRowParams p;
  p.channels = dibx::ChannelsOf(dst);
  p.alpha = alpha;
  p.key = static_cast<uint32_t>(src.TransparentColor());
  dibx::TSampledRows rows(dst, src, mask, op, p);
  dibx::ForEachScaledRow(
      dst, dstRect, srcRect, limit, flip,
      [&](int y, int sy, int x, int n, const int32_t* xs) { rows.Gathered(x, y, n, xs, sy); });
}

bool Keyed(TKeyMode key, const TCustomDIBX& src) {
  return key == TKeyMode::Use && src.TransparentColor() != -1;
}

} // namespace

void TCustomDIBX::StretchDrawAlpha(const TRect& dstRect, TCustomDIBX& src, int alpha, TFlip flip,
                                   TKeyMode key, const TRect& srcRect) {
  if (alpha <= 0)
    return;
  const bool keyed = Keyed(key, src);
  const TRowOp op = alpha >= 255 ? (keyed ? TRowOp::CopyKey : TRowOp::Copy)
                                 : (keyed ? TRowOp::BlendKey : TRowOp::Blend);
  Stretched(*this, dstRect, src, nullptr, flip, srcRect, op,
            static_cast<uint32_t>(std::min(alpha, 255)));
}

void TCustomDIBX::StretchDrawMaskAlpha(const TRect& dstRect, TCustomDIBX& src, int alpha,
                                       TCustomDIBX& mask, TFlip flip, const TRect& srcRect) {
  if (alpha <= 0)
    return;
  Stretched(*this, dstRect, src, &mask, flip, srcRect,
            alpha >= 255 ? TRowOp::Mask : TRowOp::MaskAlpha,
            static_cast<uint32_t>(std::min(alpha, 255)));
}

void TCustomDIBX::StretchDrawAdd(const TRect& dstRect, TCustomDIBX& src, int strength, TFlip flip,
                                 TKeyMode key, const TRect& srcRect) {
  if (strength <= 0)
    return;
  Stretched(*this, dstRect, src, nullptr, flip, srcRect,
            Keyed(key, src) ? TRowOp::AddKey : TRowOp::Add,
            static_cast<uint32_t>(std::min(strength, 255)));
}

void TCustomDIBX::StretchDrawMaskAdd(const TRect& dstRect, TCustomDIBX& src, int strength,
                                     TCustomDIBX& mask, TFlip flip, const TRect& srcRect) {
  if (strength <= 0)
    return;
  Stretched(*this, dstRect, src, &mask, flip, srcRect, TRowOp::MaskAdd,
            static_cast<uint32_t>(std::min(strength, 255)));
}

} // namespace nova
