// SPDX-License-Identifier: MIT
// Row access and per-pixel grey arithmetic shared by the transitions that work pixel by pixel.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "graphics/dibx_custom.h"
#include "graphics/private/dibx_engine.h"
#include "graphics/private/dibx_pixel_rules.h"

namespace nova::wipe {

// Rows of a 16- or 32-bit surface held for one step; ReleasePixels when it ends.
class TRows {
public:
  explicit TRows(TCustomDIBX& s) : s_(s), base_(s.IsEmpty() ? nullptr : s.PixelAddress(0, 0)) {}
  ~TRows() {
    if (base_)
      s_.ReleasePixels();
  }
  TRows(const TRows&) = delete;
  TRows& operator=(const TRows&) = delete;
  bool Ok() const { return base_ != nullptr; }
  uint8_t* Row(int y) const { return base_ + static_cast<ptrdiff_t>(y) * s_.Pitch(); }

private:
  TCustomDIBX& s_;
  uint8_t* base_;
};

// The 256 grey levels as native pixels of the surface's format.
inline std::array<uint32_t, 256> GreyPixels(const TCustomDIBX& s) {
  std::array<uint32_t, 256> t{};
  for (int v = 0; v < 256; ++v)
    t[v] = s.ColorToPixel(v * 0x010101);
  return t;
}

// Saturating add or subtract of a grey pixel, per channel.
enum class TGreyOp : uint8_t { Add, Sub };

inline uint32_t ApplyGrey32(uint32_t d, uint32_t g, TGreyOp op) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((d >> shift) & 0xFF), b = static_cast<int>((g >> shift) & 0xFF);
    const int v = op == TGreyOp::Add ? std::min(255, a + b) : std::max(0, a - b);
    out |= static_cast<uint32_t>(v) << shift;
  }
  return out;
}

inline uint32_t ApplyGrey(uint32_t d, uint32_t g, TGreyOp op, const dibx::TChannels& ch) {
  return op == TGreyOp::Add ? dibx::AddColorPixel(d, g, ch) : dibx::SubColorPixel(d, g, ch);
}

inline uint32_t LoadPixel(const uint8_t* row, int x, int bpp) {
  if (bpp == 4) {
    uint32_t v;
    std::memcpy(&v, row + x * 4, 4);
    return v;
  }
  uint16_t v;
  std::memcpy(&v, row + x * 2, 2);
  return v;
}

inline void StorePixel(uint8_t* row, int x, int bpp, uint32_t v) {
  if (bpp == 4) {
    std::memcpy(row + x * 4, &v, 4);
    return;
  }
  const uint16_t w = static_cast<uint16_t>(v);
  std::memcpy(row + x * 2, &w, 2);
}

// Bytes per pixel of the direct path for a surface: 2 or 4 for 16- and 32-bit storage, 0 when
// pixels must go through the surface's accessors.
inline int ViewBytes(const TCustomDIBX& s) {
  const int bits = s.StorageBitCount();
  return bits == 16 || bits == 32 ? bits / 8 : 0;
}

// Pixels of a surface read and written by coordinates, straight from memory for kBytes 2 and 4
// (which must match ViewBytes), through the accessors for 0. Coordinates must be inside.
template <int kBytes> class TPixelView {
public:
  explicit TPixelView(TCustomDIBX& s) : s_(s) {
    if (kBytes != 0 && !s.IsEmpty()) {
      base_ = s.PixelAddress(0, 0);
      pitch_ = s.Pitch();
    }
  }
  ~TPixelView() {
    if (base_)
      s_.ReleasePixels();
  }
  TPixelView(const TPixelView&) = delete;
  TPixelView& operator=(const TPixelView&) = delete;

  uint32_t Get(int x, int y) const {
    if constexpr (kBytes == 0)
      return s_.GetPixel(x, y);
    else
      return LoadPixel(base_ + static_cast<ptrdiff_t>(y) * pitch_, x, kBytes);
  }
  void Set(int x, int y, uint32_t v) {
    if constexpr (kBytes == 0)
      s_.SetPixel(x, y, v);
    else
      StorePixel(base_ + static_cast<ptrdiff_t>(y) * pitch_, x, kBytes, v);
  }

private:
  TCustomDIBX& s_;
  uint8_t* base_ = nullptr;
  ptrdiff_t pitch_ = 0;
};

// Calls body.template operator()<kBytes>() with the direct path the screen allows.
template <typename TBody> void WithViewBytes(const TCustomDIBX& screen, TBody&& body) {
  switch (ViewBytes(screen)) {
  case 4:
    body.template operator()<4>();
    break;
  case 2:
    body.template operator()<2>();
    break;
  default:
    body.template operator()<0>();
    break;
  }
}

} // namespace nova::wipe
