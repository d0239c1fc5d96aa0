// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "graphics/dibx_custom.h"
#include "graphics/private/dibx_pixel_rules.h"
#include "graphics/private/dibx_rows.h"

// The machinery shared by the drawing operations: clipping a draw to a placement, and running
// a row op over it through the row loops (15/16/32-bit storage) or pixel by pixel.
namespace nova::dibx {

// Channel masks of a surface for the per-channel rules.
TChannels ChannelsOf(const TCustomDIBX& surface);

// A clipped positioned draw: `width` x `height` destination pixels from (dstX, dstY); the
// source pixel for destination column i of row j is (srcX + i * stepX, srcY + j * stepY).
struct TPlacement {
  int dstX = 0, dstY = 0, width = 0, height = 0;
  int srcX = 0, srcY = 0;
  int stepX = 1, stepY = 1;
};

// Clips a draw of srcRect at (x, y) against `srcLimit` (the readable source area), then the
// destination's clip; cuts move to the source's far side when mirrored. False when nothing is
// left.
bool PlacePositioned(const TCustomDIBX& dst, int x, int y, TFlip flip, const TRect& srcRect,
                     const TRect& srcLimit, TPlacement& out);

// Runs op over a placement. src may be null for fills (the colour of `params` is the source);
// mask, when given, is an 8-bit surface read at the source coordinates.
void RunPlacement(TCustomDIBX& dst, TCustomDIBX* src, TCustomDIBX* mask, const TPlacement& place,
                  TRowOp op, const TRowParams& params);

// A row of a rotated draw in 16.16: pixel i samples column (u + i du) >> 16 and row
// (v + i dv) >> 16, each mirrored as mirror - index when its mirror is not negative.
struct TAffineRow {
  int64_t u = 0, v = 0, du = 0, dv = 0;
  int64_t mirrorX = -1, mirrorY = -1;
};

// The surfaces of a fast run, locked; null fn when the per-pixel path must be taken.
struct TFastRun {
  TRowFn fn = nullptr;
  const TRowKernels* kernels = nullptr;
  int bpp = 0;
  uint8_t* dst = nullptr;
  uint8_t* src = nullptr;
  uint8_t* mask = nullptr;
  int dstPitch = 0, srcPitch = 0, maskPitch = 0;
};

// The rows of one scaled or rotated draw: the surfaces are prepared and locked once for all of
// them, and released when the object ends.
class TSampledRows {
public:
  TSampledRows(TCustomDIBX& dst, TCustomDIBX& src, TCustomDIBX* mask, TRowOp op,
               const TRowParams& params);
  ~TSampledRows();
  TSampledRows(const TSampledRows&) = delete;
  TSampledRows& operator=(const TSampledRows&) = delete;

  // One destination row segment of a scaled draw: n pixels from (dstX, dstY), source pixel i at
  // (xs[i], srcY). Every coordinate must lie inside the source (and mask). The columns xs point
  // to must not change while the object lives: a row asked for again is not gathered again.
  void Gathered(int dstX, int dstY, int n, const int32_t* xs, int srcY);
  // A segment of a rotated draw (see TAffineRow); its pixels must lie inside the source.
  void Affine(int dstX, int dstY, int n, const TAffineRow& row);

private:
  void Combine(int dstX, int dstY, int n, const uint8_t* pixels, const uint8_t* maskBytes);

  TCustomDIBX& dst_;
  TCustomDIBX& src_;
  TCustomDIBX* mask_;
  TRowOp op_;
  const TRowParams& params_;
  TFastRun run_;
  bool vector_gathers_;
  // The source row the scratch rows hold.
  struct {
    const int32_t* xs = nullptr;
    int n = 0, srcY = 0;
  } gathered_;
};

// Fills rect (already clipped) with op Fill, FillAlpha, FillAdd or FillSub.
void RunFill(TCustomDIBX& dst, const TRect& rect, TRowOp op, const TRowParams& params);

// Per-call work memory that grows and is reused, so no operation allocates per row.
int32_t* ScratchInts(int slot, size_t count);

// True when srcs bit count matches dst (a draw between different formats does nothing).
bool SameFormat(const TCustomDIBX& dst, const TCustomDIBX& src);
// The part of the source a draw may read: the source's bounds, within the mask's when one is
// given. False when the draw must do nothing (different formats, a mask that is not 8-bit).
bool ReadableArea(const TCustomDIBX& dst, const TCustomDIBX& src, const TCustomDIBX* mask,
                  TRect& area);
// True for an 8-bit mask surface.
bool IsMask(const TCustomDIBX& mask);

// The opacity convention: which op a draw uses, and its weight. False when nothing is drawn.
enum class TMaskUse : uint8_t { None, Mask };
bool OpacityOp(int opacity, TKeyMode key, TMaskUse mask, const TCustomDIBX& src, TRowOp& op,
               TRowParams& params);

} // namespace nova::dibx
