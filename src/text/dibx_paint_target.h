// SPDX-License-Identifier: MIT
#pragma once
#include "text/text_host.h"

namespace nova {

class TCustomDIBX;

// Paints text onto a drawing surface: plain text as its colour through the coverage
// (DrawColorMask), outlined or shadowed text as the colour surface through the coverage
// (DrawMask at alpha 255, DrawMaskAlpha below). The work surfaces must have the destination's
// bit count.
class DibxPaintTarget final : public TextPaintTarget {
public:
  explicit DibxPaintTarget(TCustomDIBX& dest) : dest_(dest) {}
  void DrawColorMask(int x, int y, const CoverageSurface& mask, const TextRect& src,
                     uint32_t colorref, int alpha) override;
  void DrawMask(int x, int y, const TextColorSurface& color, const CoverageSurface& mask,
                const TextRect& src, int alpha) override;

private:
  TCustomDIBX& dest_;
};

} // namespace nova
