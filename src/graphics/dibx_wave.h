// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <vector>

#include "graphics/dibx_custom.h"

namespace nova {

// A surface without pixels of its own: every draw goes to the inner surface with each row
// shifted horizontally by a per-row offset (the wave distortion of image components). Rows
// with equal offsets are forwarded as one band.
class TDIBXWave : public TCustomDIBX {
public:
  explicit TDIBXWave(TCustomDIBX& inner);

  TCustomDIBX& Inner() { return inner_; }
  // Offset entry i applies to surface row FirstRow() + i; SetSize sizes the array to the
  // height and zeroes it.
  std::vector<int32_t>& Offsets() { return offsets_; }
  int FirstRow() const { return first_row_; }
  void SetFirstRow(int row) { first_row_ = row; }

  int BitCount() const override { return inner_.BitCount(); }
  void SetBitCount(int count) override { inner_.SetBitCount(count); }
  uint32_t RedMask() const override { return inner_.RedMask(); }
  uint32_t GreenMask() const override { return inner_.GreenMask(); }
  uint32_t BlueMask() const override { return inner_.BlueMask(); }
  int Pitch() const override { return inner_.Pitch(); }
  TPixel GetPixel(int x, int y) const override;
  void SetPixel(int x, int y, TPixel pixel) override;
  TCustomDIBX& PixelSurface() override { return inner_.PixelSurface(); }
  int StorageBitCount() const override { return inner_.StorageBitCount(); }
  void SetSize(int width, int height, int bitCount) override;
  // No addressable pixels of its own: generic operations go through Get/SetPixel.
  uint8_t* PixelAddress(int, int) override { return nullptr; }
  void GetPalette(std::span<TPaletteEntry, 256> entries) const override;
  void SetPalette(std::span<const TPaletteEntry, 256> entries) override;
  void Release() override;

  void FillRect(const TRect& rect, TPixel pixel) override;
  void FillRectAlpha(const TRect& rect, TPixel pixel, int alpha) override;
  void FillRectAdd(const TRect& rect, TPixel pixel) override;
  void FillRectSub(const TRect& rect, TPixel pixel) override;
  void Draw(int x, int y, TFlip flip, TKeyMode key, const TRect& srcRect,
            TCustomDIBX& src) override;
  void DrawMask(int x, int y, TCustomDIBX& mask, TFlip flip, const TRect& srcRect,
                TCustomDIBX& src) override;
  void DrawAlpha(int x, int y, int alpha, TFlip flip, TKeyMode key, const TRect& srcRect,
                 TCustomDIBX& src) override;
  void DrawMaskAlpha(int x, int y, int alpha, TCustomDIBX& mask, TFlip flip, const TRect& srcRect,
                     TCustomDIBX& src) override;
  void DrawAdd(int x, int y, int strength, TFlip flip, TKeyMode key, const TRect& srcRect,
               TCustomDIBX& src) override;
  void DrawMaskAdd(int x, int y, int strength, TCustomDIBX& mask, TFlip flip, const TRect& srcRect,
                   TCustomDIBX& src) override;
  void StretchDrawAlpha(const TRect& dstRect, TCustomDIBX& src, int alpha, TFlip flip, TKeyMode key,
                        const TRect& srcRect) override;
  void StretchDrawMaskAlpha(const TRect& dstRect, TCustomDIBX& src, int alpha, TCustomDIBX& mask,
                            TFlip flip, const TRect& srcRect) override;
  void StretchDrawAdd(const TRect& dstRect, TCustomDIBX& src, int strength, TFlip flip,
                      TKeyMode key, const TRect& srcRect) override;
  void StretchDrawMaskAdd(const TRect& dstRect, TCustomDIBX& src, int strength, TCustomDIBX& mask,
                          TFlip flip, const TRect& srcRect) override;
  void DrawNibble(int x, int y, std::span<const TPixel, 16> table, int opacity, TFlip flip,
                  const TRect& srcRect, TCustomDIBX& src) override;
  void DrawPaletteAdd(int x, int y, std::span<const TPixel, 256> table, int strength, TFlip flip,
                      int threshold, const TRect& srcRect, TCustomDIBX& src) override;
  void StretchDrawPaletteAdd(const TRect& dstRect, std::span<const TPixel, 256> table, int strength,
                             TFlip flip, int threshold, const TRect& srcRect,
                             TCustomDIBX& src) override;
  void TileFillZoom(const TRect& dstRect, TCustomDIBX& src, int opacity, TFlip flip, TKeyMode key,
                    int offsetY, int offsetX, double zoomY, double zoomX) override;
  void TileFillZoomMask(const TRect& dstRect, TCustomDIBX& src, int opacity, TFlip flip,
                        TCustomDIBX& mask, int offsetY, int offsetX, double zoomY,
                        double zoomX) override;
  void DrawColorMask(int x, int y, int alpha, TPixel color, TFlip flip, const TRect& srcRect,
                     TCustomDIBX& mask) override;

private:
  int OffsetOfRow(int row, bool* inRange) const;

  TRect saved_clip_{};
  TCustomDIBX& inner_;
  std::vector<int32_t> offsets_;
  int first_row_ = 0;
};

} // namespace nova
