// SPDX-License-Identifier: MIT
#include "graphics/private/dibx_engine.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/private/dibx_rows.h"

namespace nova::dibx {
namespace {

// Work rows reused across calls: reversed source and mask rows, gathered pixels, coordinates.
struct TScratch {
  std::vector<uint8_t> bytes[3];
  std::vector<int32_t> ints[3];
};
thread_local TScratch scratch;

uint8_t* ScratchBytes(int slot, size_t count) {
  auto& v = scratch.bytes[slot];
  if (v.size() < count)
    v.resize(count);
  return v.data();
}

// Ends the pixel lock of PixelAddress on every path.
class TLockGuard {
public:
  explicit TLockGuard(TCustomDIBX* s) : s_(s) {}
  ~TLockGuard() {
    if (s_)
      s_->ReleasePixels();
  }
  TLockGuard(const TLockGuard&) = delete;
  TLockGuard& operator=(const TLockGuard&) = delete;

private:
  TCustomDIBX* s_;
};

// Address of row y of a locked surface from its row 0 address.
inline uint8_t* RowAt(uint8_t* base, int pitch, int y, int x, int bytesPerPixel) {
  return base + static_cast<ptrdiff_t>(y) * pitch + static_cast<ptrdiff_t>(x) * bytesPerPixel;
}

void ReverseCopy(uint8_t* out, const uint8_t* lastSrc, int n, int bytesPerPixel) {
  for (int i = 0; i < n; ++i)
    std::memcpy(out + i * bytesPerPixel, lastSrc - i * bytesPerPixel, bytesPerPixel);
}

TFastRun PrepareFast(TCustomDIBX& dst, TCustomDIBX* src, TCustomDIBX* mask, TRowOp op) {
  TFastRun run;
  const TRowKernels* kernels = ActiveRowKernels();
  if (!kernels)
    return run;
  const int storage = dst.StorageBitCount();
  if (storage != 16 && storage != 32)
    return run;
  if (src && src->StorageBitCount() != storage)
    return run;
  if (dst.IsEmpty() || (src && src->IsEmpty()) || (mask && mask->IsEmpty()))
    return run;
  run.dst = dst.PixelAddress(0, 0);
  run.src = src ? src->PixelAddress(0, 0) : nullptr;
  run.mask = mask ? mask->PixelAddress(0, 0) : nullptr;
  if (!run.dst || (src && !run.src) || (mask && !run.mask)) {
    if (run.dst)
      dst.ReleasePixels();
    if (run.src)
      src->ReleasePixels();
    if (run.mask)
      mask->ReleasePixels();
    return TFastRun{};
  }
  run.bpp = storage / 8;
  run.kernels = kernels;
  run.fn =
      storage == 16 ? kernels->row16[static_cast<int>(op)] : kernels->row32[static_cast<int>(op)];
  run.dstPitch = dst.Pitch();
  run.srcPitch = src ? src->Pitch() : 0;
  run.maskPitch = mask ? mask->Pitch() : 0;
  return run;
}

} // namespace

int32_t* ScratchInts(int slot, size_t count) {
  auto& v = scratch.ints[slot];
  if (v.size() < count)
    v.resize(count);
  return v.data();
}

TChannels ChannelsOf(const TCustomDIBX& surface) {
  TChannels ch;
  const int bits = surface.BitCount();
  if (bits <= 8) {
    ch.mask[0] = (1u << bits) - 1;
    ch.count = 1;
    return ch;
  }
  ch.mask[0] = surface.RedMask();
  ch.mask[1] = surface.GreenMask();
  ch.mask[2] = surface.BlueMask();
  ch.count = 3;
  return ch;
}

bool SameFormat(const TCustomDIBX& dst, const TCustomDIBX& src) {
  return dst.BitCount() == src.BitCount();
}

bool IsMask(const TCustomDIBX& mask) { return mask.BitCount() == 8; }

bool ReadableArea(const TCustomDIBX& dst, const TCustomDIBX& src, const TCustomDIBX* mask,
                  TRect& area) {
  if (!SameFormat(dst, src) || (mask && !IsMask(*mask)))
    return false;
  area = mask ? Intersect(src.Bounds(), mask->Bounds()) : src.Bounds();
  return true;
}

bool PlacePositioned(const TCustomDIBX& dst, int x, int y, TFlip flip, const TRect& srcRect,
                     const TRect& srcLimit, TPlacement& out) {
  const TRect src = Intersect(srcRect, srcLimit);
  if (src.IsEmpty())
    return false;
  const bool flipH = HasFlipH(flip), flipV = HasFlipV(flip);
  // A source cut on one side moves the destination when that side is drawn first.
  const int64_t dx =
      int64_t{x} + (flipH ? int64_t{srcRect.Right} - src.Right : int64_t{src.Left} - srcRect.Left);
  const int64_t dy =
      int64_t{y} + (flipV ? int64_t{srcRect.Bottom} - src.Bottom : int64_t{src.Top} - srcRect.Top);
  const TRect clip = dst.ClipRect();
  const int64_t left = std::max<int64_t>(dx, clip.Left);
  const int64_t top = std::max<int64_t>(dy, clip.Top);
  const int64_t right = std::min<int64_t>(dx + src.Width(), clip.Right);
  const int64_t bottom = std::min<int64_t>(dy + src.Height(), clip.Bottom);
  if (right <= left || bottom <= top)
    return false;
  const int cutL = static_cast<int>(left - dx), cutT = static_cast<int>(top - dy);
  out.dstX = static_cast<int>(left);
  out.dstY = static_cast<int>(top);
  out.width = static_cast<int>(right - left);
  out.height = static_cast<int>(bottom - top);
  out.stepX = flipH ? -1 : 1;
  out.stepY = flipV ? -1 : 1;
  out.srcX = flipH ? src.Right - 1 - cutL : src.Left + cutL;
  out.srcY = flipV ? src.Bottom - 1 - cutT : src.Top + cutT;
  return true;
}

void RunPlacement(TCustomDIBX& dst, TCustomDIBX* src, TCustomDIBX* mask, const TPlacement& pl,
                  TRowOp op, const TRowParams& params) {
  TFastRun run = PrepareFast(dst, src, mask, op);
  if (run.fn) {
    TLockGuard dg(&dst), sg(src), mg(mask);
    const int n = pl.width;
    uint8_t* revSrc = (src && pl.stepX < 0) ? ScratchBytes(0, size_t(n) * run.bpp) : nullptr;
    uint8_t* revMask = (mask && pl.stepX < 0) ? ScratchBytes(1, size_t(n)) : nullptr;
    const uint8_t* colorRow = nullptr;
    if (!src && OpReadsSource(op)) {
      // A colour drawn through a mask: the colour stands in for a source row.
      uint8_t* row = ScratchBytes(2, size_t(n) * run.bpp);
      for (int i = 0; i < n; ++i)
        std::memcpy(row + i * run.bpp, &params.color, run.bpp);
      colorRow = row;
    }
    for (int j = 0; j < pl.height; ++j) {
      const int sy = pl.srcY + j * pl.stepY;
      uint8_t* d = RowAt(run.dst, run.dstPitch, pl.dstY + j, pl.dstX, run.bpp);
      const uint8_t* s = colorRow;
      const uint8_t* m = nullptr;
      if (src) {
        s = RowAt(run.src, run.srcPitch, sy, pl.srcX, run.bpp);
        if (revSrc) {
          ReverseCopy(revSrc, s, n, run.bpp);
          s = revSrc;
        }
      }
      if (mask) {
        m = RowAt(run.mask, run.maskPitch, sy, pl.srcX, 1);
        if (revMask) {
          ReverseCopy(revMask, m, n, 1);
          m = revMask;
        }
      }
      run.fn(d, s, m, n, params);
    }
    return;
  }
  for (int j = 0; j < pl.height; ++j) {
    const int sy = pl.srcY + j * pl.stepY;
    const int y = pl.dstY + j;
    for (int i = 0; i < pl.width; ++i) {
      const int sx = pl.srcX + i * pl.stepX;
      const TPixel d = dst.GetPixel(pl.dstX + i, y);
      const TPixel s = src ? src->GetPixel(sx, sy) : params.color;
      const uint32_t m = mask ? mask->GetPixel(sx, sy) : 255;
      uint32_t out;
      if (ApplyRule(op, d, s, m, params, out))
        dst.SetPixel(pl.dstX + i, y, out);
    }
  }
}

namespace {

// The per-pixel reference of a sampled row segment: source coordinates from coords(i, x, y).
template <typename Coords>
void SampledPerPixel(TCustomDIBX& dst, int dstX, int dstY, int n, TCustomDIBX& src,
                     TCustomDIBX* mask, Coords coords, TRowOp op, const TRowParams& params) {
  for (int i = 0; i < n; ++i) {
    int x, y;
    coords(i, x, y);
    const TPixel d = dst.GetPixel(dstX + i, dstY);
    const TPixel sp = src.GetPixel(x, y);
    const uint32_t mv = mask ? mask->GetPixel(x, y) : 255;
    uint32_t out;
    if (ApplyRule(op, d, sp, mv, params, out))
      dst.SetPixel(dstX + i, dstY, out);
  }
}

// Whether the vector gathers may read these surfaces: they address pixels by 32-bit byte
// offsets, and read a mask byte through the aligned dword holding it.
bool VectorGathersFit(const TFastRun& run, const TCustomDIBX& src, const TCustomDIBX* mask) {
  auto fits = [](int pitch, int height) {
    return std::abs(int64_t{pitch}) * (int64_t{height} + 1) < (int64_t{1} << 31);
  };
  if (run.bpp != 4 || !fits(run.srcPitch, src.Height()))
    return false;
  if (!mask)
    return true;
  const bool aligned =
      ((reinterpret_cast<uintptr_t>(run.mask) | static_cast<uintptr_t>(run.maskPitch)) & 3) == 0;
  return aligned && fits(run.maskPitch, mask->Height());
}

// Scalar gathers, for storage without vector gathers (and the rows of a vector gather whose
// mask is not aligned).
template <int kBpp>
void GatherColumnsScalar(const TFastRun& run, int srcY, const int32_t* xs, int n, uint8_t* s,
                         uint8_t* m) {
  const uint8_t* row = RowAt(run.src, run.srcPitch, srcY, 0, kBpp);
  const uint8_t* maskRow = m ? RowAt(run.mask, run.maskPitch, srcY, 0, 1) : nullptr;
  for (int i = 0; i < n; ++i) {
    std::memcpy(s + i * kBpp, row + ptrdiff_t{xs[i]} * kBpp, kBpp);
    if (maskRow)
      m[i] = maskRow[xs[i]];
  }
}

template <int kBpp>
void GatherAffineScalar(const TFastRun& run, const TAffineSteps& st, int n, uint8_t* s,
                        uint8_t* m) {
  // Locals, so that the stores through byte pointers do not force the steps to be reloaded.
  const uint8_t* const src = run.src;
  const uint8_t* const mask = m ? run.mask : nullptr;
  const ptrdiff_t srcPitch = run.srcPitch, maskPitch = run.maskPitch;
  const int32_t du = st.du, dv = st.dv, ox = st.originX, oy = st.originY;
  const int32_t sx = st.signX, sy = st.signY;
  // Unsigned steps: the step after the last pixel may wrap, and is never used.
  uint32_t u = static_cast<uint32_t>(st.u), v = static_cast<uint32_t>(st.v);
  for (int i = 0; i < n; ++i, u += static_cast<uint32_t>(du), v += static_cast<uint32_t>(dv)) {
    const ptrdiff_t x = ox + sx * static_cast<int32_t>(u >> 16);
    const ptrdiff_t y = oy + sy * static_cast<int32_t>(v >> 16);
    std::memcpy(s + i * kBpp, src + y * srcPitch + x * kBpp, kBpp);
    if (mask)
      m[i] = mask[y * maskPitch + x];
  }
}

// The steps of a rotated row segment in 32 bits, when every u and v of it fits.
bool AffineSteps32(const TAffineRow& row, int n, TAffineSteps& out) {
  const int64_t lastU = row.u + int64_t{n - 1} * row.du;
  const int64_t lastV = row.v + int64_t{n - 1} * row.dv;
  auto fits = [](int64_t a) { return a >= 0 && a <= INT32_MAX; };
  auto step = [](int64_t a) { return a >= -INT32_MAX && a <= INT32_MAX; };
  if (!fits(row.u) || !fits(row.v) || !fits(lastU) || !fits(lastV) || !step(row.du) ||
      !step(row.dv))
    return false;
  const int64_t originX = std::max<int64_t>(row.mirrorX, 0);
  const int64_t originY = std::max<int64_t>(row.mirrorY, 0);
  if (originX > INT32_MAX || originY > INT32_MAX)
    return false;
  out.u = static_cast<int32_t>(row.u);
  out.v = static_cast<int32_t>(row.v);
  out.du = static_cast<int32_t>(row.du);
  out.dv = static_cast<int32_t>(row.dv);
  out.originX = static_cast<int32_t>(originX);
  out.originY = static_cast<int32_t>(originY);
  out.signX = row.mirrorX >= 0 ? -1 : 1;
  out.signY = row.mirrorY >= 0 ? -1 : 1;
  return true;
}

} // namespace

TSampledRows::TSampledRows(TCustomDIBX& dst, TCustomDIBX& src, TCustomDIBX* mask, TRowOp op,
                           const TRowParams& params)
    : dst_(dst), src_(src), mask_(mask), op_(op), params_(params),
      run_(PrepareFast(dst, &src, mask, op)),
      vector_gathers_(run_.fn && VectorGathersFit(run_, src, mask)) {}

TSampledRows::~TSampledRows() {
  if (!run_.fn)
    return;
  dst_.ReleasePixels();
  src_.ReleasePixels();
  if (mask_)
    mask_->ReleasePixels();
}

void TSampledRows::Combine(int dstX, int dstY, int n, const uint8_t* s, const uint8_t* m) {
  run_.fn(RowAt(run_.dst, run_.dstPitch, dstY, dstX, run_.bpp), s, m, n, params_);
}

void TSampledRows::Gathered(int dstX, int dstY, int n, const int32_t* xs, int srcY) {
  if (n <= 0)
    return;
  if (!run_.fn) {
    SampledPerPixel(
        dst_, dstX, dstY, n, src_, mask_,
        [xs, srcY](int i, int& x, int& y) {
          x = xs[i];
          y = srcY;
        },
        op_, params_);
    return;
  }
  uint8_t* s = ScratchBytes(0, size_t(n) * run_.bpp);
  uint8_t* m = mask_ ? ScratchBytes(1, size_t(n)) : nullptr;
  // An enlarged picture shows each source row on several destination rows in a row.
  const bool again = xs == gathered_.xs && n == gathered_.n && srcY == gathered_.srcY;
  gathered_ = {xs, n, srcY};
  if (!again) {
    if (vector_gathers_ && run_.kernels->gatherColumns32)
      run_.kernels->gatherColumns32(RowAt(run_.src, run_.srcPitch, srcY, 0, 4),
                                    m ? RowAt(run_.mask, run_.maskPitch, srcY, 0, 1) : nullptr, xs,
                                    n, s, m);
    else if (run_.bpp == 4)
      GatherColumnsScalar<4>(run_, srcY, xs, n, s, m);
    else
      GatherColumnsScalar<2>(run_, srcY, xs, n, s, m);
  }
  Combine(dstX, dstY, n, s, m);
}

void TSampledRows::Affine(int dstX, int dstY, int n, const TAffineRow& row) {
  if (n <= 0)
    return;
  // Mirroring as index = origin + sign * sample, so the loop has no branch.
  const int64_t signX = row.mirrorX >= 0 ? -1 : 1, originX = std::max<int64_t>(row.mirrorX, 0);
  const int64_t signY = row.mirrorY >= 0 ? -1 : 1, originY = std::max<int64_t>(row.mirrorY, 0);
  auto coords = [&](int i, int& x, int& y) {
    x = static_cast<int>(originX + signX * ((row.u + i * row.du) >> 16));
    y = static_cast<int>(originY + signY * ((row.v + i * row.dv) >> 16));
  };
  if (!run_.fn) {
    SampledPerPixel(dst_, dstX, dstY, n, src_, mask_, coords, op_, params_);
    return;
  }
  uint8_t* s = ScratchBytes(0, size_t(n) * run_.bpp);
  uint8_t* m = mask_ ? ScratchBytes(1, size_t(n)) : nullptr;
  gathered_ = {};
  TAffineSteps steps;
  if (!AffineSteps32(row, n, steps)) {
    int x, y;
    for (int i = 0; i < n; ++i) {
      coords(i, x, y);
      std::memcpy(s + i * run_.bpp, RowAt(run_.src, run_.srcPitch, y, x, run_.bpp), run_.bpp);
      if (m)
        m[i] = *RowAt(run_.mask, run_.maskPitch, y, x, 1);
    }
  } else if (vector_gathers_ && run_.kernels->gatherAffine32) {
    run_.kernels->gatherAffine32(run_.src, run_.srcPitch, m ? run_.mask : nullptr, run_.maskPitch,
                                 steps, n, s, m);
  } else if (run_.bpp == 4) {
    GatherAffineScalar<4>(run_, steps, n, s, m);
  } else {
    GatherAffineScalar<2>(run_, steps, n, s, m);
  }
  Combine(dstX, dstY, n, s, m);
}

void RunFill(TCustomDIBX& dst, const TRect& rect, TRowOp op, const TRowParams& params) {
  if (rect.IsEmpty())
    return;
  TFastRun run = PrepareFast(dst, nullptr, nullptr, op);
  if (run.fn) {
    TLockGuard dg(&dst);
    for (int y = rect.Top; y < rect.Bottom; ++y)
      run.fn(RowAt(run.dst, run.dstPitch, y, rect.Left, run.bpp), nullptr, nullptr, rect.Width(),
             params);
    return;
  }
  for (int y = rect.Top; y < rect.Bottom; ++y)
    for (int x = rect.Left; x < rect.Right; ++x) {
      uint32_t out;
      if (ApplyRule(op, dst.GetPixel(x, y), params.color, 255, params, out))
        dst.SetPixel(x, y, out);
    }
}

bool OpacityOp(int opacity, TKeyMode key, TMaskUse mask, const TCustomDIBX& src, TRowOp& op,
               TRowParams& params) {
  const bool keyed = mask == TMaskUse::None && key == TKeyMode::Use && src.TransparentColor() != -1;
  params.key = static_cast<uint32_t>(src.TransparentColor());
  if (opacity <= 0)
    return false;
  if (opacity < 255) {
    params.alpha = static_cast<uint32_t>(opacity);
    op = mask == TMaskUse::Mask ? TRowOp::MaskAlpha : keyed ? TRowOp::BlendKey : TRowOp::Blend;
    return true;
  }
  if (opacity == 255) {
    params.alpha = 255;
    op = mask == TMaskUse::Mask ? TRowOp::Mask : keyed ? TRowOp::CopyKey : TRowOp::Copy;
    return true;
  }
  params.alpha = static_cast<uint32_t>(std::min(opacity - 256, 255));
  if (params.alpha == 0)
    return false;
  op = mask == TMaskUse::Mask ? TRowOp::MaskAdd : keyed ? TRowOp::AddKey : TRowOp::Add;
  return true;
}

} // namespace nova::dibx
