// SPDX-License-Identifier: MIT
// The mask kinds whose masks are stripes, ordered columns or rows, grid cells, the dither
// pattern, the mask picture and blocks.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "expr/random.h"
#include "graphics/private/wipe_grey_map.h"
#include "graphics/private/wipe_kinds.h"
#include "graphics/wisp_permutation.h"

namespace nova {
namespace {

// The value of a ramp that started at s and takes `width` steps to reach 255.
uint8_t Ramp(int64_t a, int64_t s, int32_t width) {
  if (a < s)
    return 0;
  return static_cast<uint8_t>(std::min<int64_t>(255, (a - s) * 255 / width));
}

int64_t CeilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

// ------------------------------------------------------------------------------ blinds

class TWipeBlindH final : public TWipeMask {
public:
  TWipeBlindH(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n) : TWipeMask(s, o, n) {
    p0_ = 20;
    p1_ = 1;
  }
  int MaskHeight() const override { return 1; }
  bool BuildMask() override {
    const int64_t a = Progress(int64_t{p1_} + 2 * int64_t{p0_} - 2);
    if (!NewProgress(a))
      return false;
    binary_ = p1_ < 2;
    uint8_t* row = MaskRow(0);
    for (int x = 0; x < W(); ++x) {
      const int phase = x % p0_;
      row[x] = Ramp(a, 2 * int64_t{Reverse() ? p0_ - 1 - phase : phase}, p1_);
    }
    return true;
  }
};

class TWipeBlindV final : public TWipeMask {
public:
  TWipeBlindV(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n) : TWipeMask(s, o, n) {
    p0_ = 20;
    p1_ = 1;
  }
  int MaskHeight() const override { return std::max(p0_, 2); }
  void Prepare() override {
    TWipeMask::Prepare();
    binary_ = p1_ < 2;
  }
  bool BuildMask() override {
    const int64_t a = Progress(int64_t{p1_} + 2 * int64_t{p0_} - 2);
    if (!NewProgress(a))
      return false;
    for (int y = 0; y < mask_.Height(); ++y) {
      const int phase = y % p0_;
      const uint8_t m = Ramp(a, 2 * int64_t{Reverse() ? p0_ - 1 - phase : phase}, p1_);
      if (m != 0 && m != 255)
        binary_ = false;
      std::memset(MaskRow(y), m, static_cast<size_t>(W()));
    }
    return true;
  }
};

// ------------------------------------------------------------------------------ curtains

// Columns (or rows) grouped P0 at a time, each group opening one line after another.
class TWipeOrderMask : public TWipeMask {
public:
  enum class TAxis { Columns, Rows };
  TWipeOrderMask(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n, TAxis axis)
      : TWipeMask(s, o, n), axis_(axis) {
    p0_ = 30;
    p1_ = 1;
  }
  int MaskHeight() const override { return axis_ == TAxis::Columns ? 1 : H(); }
  void Prepare() override {
    TWipeMask::Prepare();
    const int lines = axis_ == TAxis::Columns ? W() : H();
    starts_.assign(static_cast<size_t>(lines), 0);
    for (int i = 0; i < lines; ++i) {
      const int at = Reverse() ? lines - 1 - i : i;
      starts_[static_cast<size_t>(i)] = 16 * (int64_t{at / p0_} + at % p0_);
    }
  }
  bool BuildMask() override {
    const int lines = axis_ == TAxis::Columns ? W() : H();
    const int64_t a = Progress((CeilDiv(lines, p0_) + p0_ - 2) * 16 + p1_);
    if (!NewProgress(a))
      return false;
    binary_ = p1_ < 2;
    for (int i = 0; i < lines; ++i) {
      const uint8_t m = Ramp(a, starts_[static_cast<size_t>(i)], p1_);
      if (axis_ == TAxis::Columns)
        MaskRow(0)[i] = m;
      else
        std::memset(MaskRow(i), m, static_cast<size_t>(W()));
    }
    return true;
  }

protected:
  int32_t ClampParam(int, int32_t value) const override { return std::max(value, 1); }

private:
  TAxis axis_;
  std::vector<int64_t> starts_;
};

// ------------------------------------------------------------------------------ grids

class TWipeGrid final : public TWipeMask {
public:
  enum class TOrder { Distance, Columns, Rows };
  TWipeGrid(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n, TOrder order)
      : TWipeMask(s, o, n), order_(order) {
    p0_ = 80;
    p1_ = 30;
  }
  int MaskHeight() const override {
    return order_ == TOrder::Columns ? std::min(std::max(p0_, 2), H()) : H();
  }
  bool BuildMask() override {
    const int64_t nx = CeilDiv(W(), p0_), ny = CeilDiv(H(), p0_);
    const int64_t span = order_ == TOrder::Distance
                             ? 4 * std::llrint(std::hypot(double(ny - 1), double(nx - 1)))
                         : order_ == TOrder::Columns ? 4 * nx
                                                     : 4 * ny;
    const int64_t a = Progress(p1_ + span - 4);
    if (!NewProgress(a))
      return false;
    binary_ = p1_ < 2;
    FillMask(mask_.Bounds(), 0);
    const int64_t rows = CeilDiv(mask_.Height(), p0_);
    for (int64_t cy = 0; cy < rows; ++cy) {
      for (int64_t cx = 0; cx < nx; ++cx) {
        const int64_t dx = Reverse() ? nx - 1 - cx : cx, dy = Reverse() ? ny - 1 - cy : cy;
        const int64_t distance = order_ == TOrder::Distance
                                     ? 4 * std::llrint(std::hypot(double(dy), double(dx)))
                                 : order_ == TOrder::Columns ? 4 * dx
                                                             : 4 * dy;
        if (a < distance)
          continue;
        const int64_t side = std::min<int64_t>(p0_, p0_ * (a - distance) / p1_);
        if (side <= 0)
          continue;
        const int32_t left = static_cast<int32_t>(cx * p0_ + (p0_ - side) / 2);
        const int32_t top = static_cast<int32_t>(cy * p0_ + (p0_ - side) / 2);
        const int32_t size = static_cast<int32_t>(side);
        FillMask({left, top, left + size, top + size}, Ramp(a, distance, p1_));
      }
    }
    return true;
  }

private:
  TOrder order_;
};

// ------------------------------------------------------------------------------ dither

class TWipeDither final : public TWipeMask {
public:
  static constexpr int kBlock = 64;
  static constexpr int32_t kSeed = 12341;
  TWipeDither(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n) : TWipeMask(s, o, n) {
    p0_ = 2;
    p1_ = 1;
  }
  int MaskHeight() const override { return kBlock; }
  void Prepare() override {
    TWipeMask::Prepare();
    order_ = PermutationOrder(kSeed, kBlock * kBlock);
    binary_ = true;
  }
  bool BuildMask() override {
    const int64_t n = Progress(kBlock * kBlock);
    if (!NewProgress(n))
      return false;
    uint8_t block[kBlock * kBlock] = {};
    for (int64_t i = 0; i < n; ++i)
      block[order_[static_cast<size_t>(i)]] = 255;
    for (int y = 0; y < mask_.Height(); ++y) {
      uint8_t* row = MaskRow(y);
      for (int x = 0; x < W(); x += kBlock)
        std::memcpy(row + x, block + y * kBlock, static_cast<size_t>(std::min(kBlock, W() - x)));
    }
    return true;
  }

private:
  std::vector<uint32_t> order_;
};

// ------------------------------------------------------------------------------ mask picture

class TWipeShadow final : public TWipeMask {
public:
  TWipeShadow(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n) : TWipeMask(s, o, n) {
    p0_ = 2;
    p1_ = 1;
  }
  void Prepare() override {
    TWipeMask::Prepare();
    grey_ = wipe::BuildGreyMap(W(), H(), MaskName(), Reverse(), pictures_);
  }
  bool BuildMask() override {
    // Each map pixel ramps over 256 steps of the index; brighter ones start first.
    const int64_t index = Progress(512) + 255;
    if (!NewProgress(index))
      return false;
    // m = clamp(g + shift, 0, 255) as byte-wise saturating arithmetic, which vectorises.
    const int shift = static_cast<int>(index) - 511;
    const uint8_t up = static_cast<uint8_t>(std::clamp(shift, 0, 255));
    const uint8_t down = static_cast<uint8_t>(std::clamp(-shift, 0, 255));
    const int width = W();
    for (int y = 0; y < H(); ++y) {
      const uint8_t* __restrict g = grey_.data() + static_cast<size_t>(y) * width;
      uint8_t* __restrict m = MaskRow(y);
      for (int x = 0; x < width; ++x) {
        const uint8_t raised = static_cast<uint8_t>(g[x] + up < 255 ? g[x] + up : 255);
        m[x] = static_cast<uint8_t>(raised > down ? raised - down : 0);
      }
    }
    return true;
  }

private:
  std::vector<uint8_t> grey_;
};

// ------------------------------------------------------------------------------ blocks

class TWipeBlocks : public TWipeMask {
public:
  TWipeBlocks(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n) : TWipeMask(s, o, n) {
    p0_ = 60;
    p1_ = 0;
  }
  bool BuildMask() override {
    const int64_t count = static_cast<int64_t>(blocks_.size());
    if (count == 0)
      return NewProgress(0);
    const bool from_end = FilledFromEnd();
    const int64_t n =
        from_end ? (count - 1) * (int64_t{duration} - elapsed) / duration : Progress(count - 1);
    if (!NewProgress(n))
      return false;
    binary_ = true;
    FillMask(mask_.Bounds(), 0);
    const size_t first = from_end ? static_cast<size_t>(n) : 0;
    const size_t last = from_end ? blocks_.size() - 1 : static_cast<size_t>(n);
    for (size_t i = first; i <= last; ++i)
      FillMask(blocks_[i], 255);
    return true;
  }

protected:
  int32_t ClampParam(int, int32_t value) const override { return value; }
  virtual bool FilledFromEnd() const { return false; }
  int Side() const { return std::min({W(), H(), std::max(10, p0_)}); }
  TRect Block(int cx, int cy) const {
    const int s = Side();
    return {cx * s, cy * s, std::min(W(), (cx + 1) * s), std::min(H(), (cy + 1) * s)};
  }
  std::vector<TRect> blocks_;
};

class TWipeBlockCoil final : public TWipeBlocks {
public:
  using TWipeBlocks::TWipeBlocks;
  void Prepare() override {
    TWipeMask::Prepare();
    blocks_.clear();
    if (W() <= 0 || H() <= 0)
      return;
    const int s = Side();
    int left = 0, top = 0;
    int right = static_cast<int>(CeilDiv(W(), s)) - 1,
        bottom = static_cast<int>(CeilDiv(H(), s)) - 1;
    // Clockwise from the top-left corner, each finished row or column leaving the rectangle.
    while (left <= right && top <= bottom) {
      for (int x = left; x <= right; ++x)
        blocks_.push_back(Block(x, top));
      ++top;
      for (int y = top; y <= bottom; ++y)
        blocks_.push_back(Block(right, y));
      --right;
      if (top <= bottom) {
        for (int x = right; x >= left; --x)
          blocks_.push_back(Block(x, bottom));
        --bottom;
      }
      if (left <= right) {
        for (int y = bottom; y >= top; --y)
          blocks_.push_back(Block(left, y));
        ++left;
      }
    }
  }

protected:
  bool FilledFromEnd() const override { return Reverse(); }
};

class TWipeBlockRandom final : public TWipeBlocks {
public:
  using TWipeBlocks::TWipeBlocks;
  void Prepare() override {
    TWipeMask::Prepare();
    blocks_.clear();
    if (W() <= 0 || H() <= 0)
      return;
    const int s = Side();
    const int nx = static_cast<int>(CeilDiv(W(), s)), ny = static_cast<int>(CeilDiv(H(), s));
    for (int y = 0; y < ny; ++y)
      for (int x = 0; x < nx; ++x)
        blocks_.push_back(Block(x, y));
    TRandom& random = GlobalRandom();
    for (size_t i = blocks_.size(); i > 1; --i)
      std::swap(blocks_[i - 1], blocks_[static_cast<size_t>(random.Next(static_cast<int32_t>(i)))]);
  }
};

} // namespace

namespace wipe {

std::unique_ptr<TCustomWipe> NewMaskKindWipe(int kind, TCustomDIBX& s, TCustomDIBX& o,
                                             TCustomDIBX& n) {
  using TAxis = TWipeOrderMask::TAxis;
  using TOrder = TWipeGrid::TOrder;
  switch (kind) {
  case WP_BLINDH:
    return std::make_unique<TWipeBlindH>(s, o, n);
  case WP_BLINDV:
    return std::make_unique<TWipeBlindV>(s, o, n);
  case WP_CURTAINH:
    return std::make_unique<TWipeOrderMask>(s, o, n, TAxis::Columns);
  case WP_CURTAINV:
    return std::make_unique<TWipeOrderMask>(s, o, n, TAxis::Rows);
  case WP_GRID:
    return std::make_unique<TWipeGrid>(s, o, n, TOrder::Distance);
  case WP_GRIDH:
    return std::make_unique<TWipeGrid>(s, o, n, TOrder::Columns);
  case WP_GRIDV:
    return std::make_unique<TWipeGrid>(s, o, n, TOrder::Rows);
  case WP_DITHER:
    return std::make_unique<TWipeDither>(s, o, n);
  case WP_MASKFADE:
    return std::make_unique<TWipeShadow>(s, o, n);
  case WP_BLOCKCOIL:
    return std::make_unique<TWipeBlockCoil>(s, o, n);
  case WP_BLOCKRANDOM:
    return std::make_unique<TWipeBlockRandom>(s, o, n);
  default:
    return nullptr;
  }
}

} // namespace wipe
} // namespace nova
