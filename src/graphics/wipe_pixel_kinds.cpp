// SPDX-License-Identifier: MIT
// The kinds computed pixel by pixel from tables made once: spotlight, mask white and black,
// ripple; and the blurs, which pass through blurred copies of both pictures.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "graphics/private/wipe_blur.h"
#include "graphics/private/wipe_grey_map.h"
#include "graphics/private/wipe_kinds.h"
#include "graphics/private/wipe_rows.h"

namespace nova {
namespace {

using wipe::TGreyOp;

// Adds or subtracts grey levels to pixels of the screen's format.
class TGreyTable {
public:
  TGreyTable(const TCustomDIBX& screen, TGreyOp op)
      : pixels_(wipe::GreyPixels(screen)), channels_(dibx::ChannelsOf(screen)), op_(op),
        wide_(screen.BitCount() == 32) {}
  uint32_t Apply(uint32_t pixel, int level) const {
    const uint32_t g = pixels_[static_cast<size_t>(level)];
    return wide_ ? wipe::ApplyGrey32(pixel, g, op_) : wipe::ApplyGrey(pixel, g, op_, channels_);
  }

private:
  std::array<uint32_t, 256> pixels_;
  dibx::TChannels channels_;
  TGreyOp op_;
  bool wide_;
};

int32_t RoundedHypot(double a, double b) {
  return static_cast<int32_t>(std::llrint(std::hypot(a, b)));
}

// ------------------------------------------------------------------------------ spotlight

class TWipeSpot final : public TCustomWipe {
public:
  using TCustomWipe::TCustomWipe;
  void Prepare() override {
    const int cx = W() / 2, cy = H() / 2;
    reach_ = RoundedHypot(cy, cx);
    distance_.resize(static_cast<size_t>(W()) * static_cast<size_t>(H()));
    for (int y = 0; y < H(); ++y)
      for (int x = 0; x < W(); ++x) {
        const int32_t d = RoundedHypot(std::abs(y - cy), std::abs(x - cx));
        distance_[static_cast<size_t>(y) * W() + x] = Reverse() ? reach_ - d : d;
      }
  }

protected:
  void Compose() override {
    if (distance_.size() != static_cast<size_t>(W()) * static_cast<size_t>(H()))
      Prepare();
    wipe::WithViewBytes(screen_, [this]<int kBytes>() { Draw<kBytes>(); });
  }

private:
  template <int kBytes> void Draw() {
    const int64_t b = Progress(int64_t{reach_} + 512);
    const TGreyTable grey(screen_, TGreyOp::Add);
    wipe::TPixelView<kBytes> out(screen_), from(old_), to(new_);
    for (int y = 0; y < H(); ++y) {
      const int32_t* d = distance_.data() + static_cast<size_t>(y) * W();
      for (int x = 0; x < W(); ++x) {
        const int64_t k = b - d[x];
        uint32_t v;
        if (k < 0)
          v = from.Get(x, y);
        else if (k < 256)
          v = grey.Apply(from.Get(x, y), static_cast<int>(k));
        else if (k < 512)
          v = grey.Apply(to.Get(x, y), static_cast<int>(511 - k));
        else
          v = to.Get(x, y);
        out.Set(x, y, v);
      }
    }
  }

  int32_t reach_ = 0;
  std::vector<int32_t> distance_;
};

// ------------------------------------------------------------------------------ mask white/black

class TWipeShadowWhite : public TCustomWipe {
public:
  TWipeShadowWhite(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n, TGreyOp op = TGreyOp::Add)
      : TCustomWipe(s, o, n), op_(op) {}
  void Prepare() override {
    grey_ = wipe::BuildGreyMap(W(), H(), MaskName(), Reverse(), pictures_);
  }

protected:
  void Compose() override {
    if (grey_.size() != static_cast<size_t>(W()) * static_cast<size_t>(H()))
      Prepare();
    wipe::WithViewBytes(screen_, [this]<int kBytes>() { Draw<kBytes>(); });
  }

private:
  template <int kBytes> void Draw() {
    // v runs from 0 to 511 over 512 steps of the index, later for darker map pixels.
    const int index = static_cast<int>(Progress(768)) + 255;
    std::array<int16_t, 256> level;
    for (int g = 0; g < 256; ++g)
      level[static_cast<size_t>(g)] = static_cast<int16_t>(std::clamp(index + g - 511, 0, 511));
    const TGreyTable grey(screen_, op_);
    wipe::TPixelView<kBytes> out(screen_), from(old_), to(new_);
    for (int y = 0; y < H(); ++y) {
      const uint8_t* g = grey_.data() + static_cast<size_t>(y) * W();
      for (int x = 0; x < W(); ++x) {
        const int v = level[g[x]];
        out.Set(x, y, v <= 255 ? grey.Apply(from.Get(x, y), v) : grey.Apply(to.Get(x, y), 511 - v));
      }
    }
  }

  TGreyOp op_;
  std::vector<uint8_t> grey_;
};

class TWipeShadowBlack final : public TWipeShadowWhite {
public:
  TWipeShadowBlack(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n)
      : TWipeShadowWhite(s, o, n, TGreyOp::Sub) {}
};

// ------------------------------------------------------------------------------ ripple

class TWipeRipple final : public TCustomWipe {
public:
  TWipeRipple(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n) : TCustomWipe(s, o, n) { p0_ = 5; }
  void Prepare() override {
    const int cx = W() / 2, cy = H() / 2;
    qw_ = std::max(cx, W() - 1 - cx) + 1;
    qh_ = std::max(cy, H() - 1 - cy) + 1;
    reach_ = RoundedHypot(cy, cx);
    cells_.resize(static_cast<size_t>(qw_) * static_cast<size_t>(qh_));
    for (int j = 0; j < qh_; ++j)
      for (int i = 0; i < qw_; ++i) {
        TCell& c = cells_[static_cast<size_t>(j) * qw_ + i];
        const double r = std::hypot(i, j);
        c.distance = static_cast<int32_t>(std::llrint(r));
        c.cos16 = r > 0 ? static_cast<int32_t>(std::llrint(i / r * 65536)) : 0;
        c.sin16 = r > 0 ? static_cast<int32_t>(std::llrint(j / r * 65536)) : 0;
      }
    BuildWave();
  }

protected:
  void ParamChanged(int index) override {
    if (index == 0)
      BuildWave();
  }
  void Compose() override {
    if (cells_.empty())
      Prepare();
    wipe::WithViewBytes(screen_, [this]<int kBytes>() { Draw<kBytes>(); });
  }

private:
  template <int kBytes> void Draw() {
    const int L = static_cast<int>(wave_.size());
    const int64_t b = Progress(int64_t{reach_} + L);
    const int cx = W() / 2, cy = H() / 2;
    wipe::TPixelView<kBytes> out(screen_), from(old_), to(new_);
    for (int y = 0; y < H(); ++y) {
      const int qy = std::abs(y - cy), sy = y < cy ? -1 : 1;
      const TCell* row = cells_.data() + static_cast<size_t>(qy) * qw_;
      for (int x = 0; x < W(); ++x) {
        const int sx = x < cx ? -1 : 1;
        const TCell& c = row[std::abs(x - cx)];
        const int64_t j = c.distance + int64_t{L} - 1 - b;
        if (j > L - 1) {
          out.Set(x, y, from.Get(x, y));
          continue;
        }
        if (j < 0) {
          out.Set(x, y, to.Get(x, y));
          continue;
        }
        const int64_t radius = c.distance + wave_[static_cast<size_t>(j)];
        const int64_t px = cx + sx * ((int64_t{c.cos16} * radius + 32768) >> 16);
        const int64_t py = cy + sy * ((int64_t{c.sin16} * radius + 32768) >> 16);
        const bool inside = px >= 0 && px < W() && py >= 0 && py < H();
        out.Set(x, y, inside ? to.Get(static_cast<int>(px), static_cast<int>(py)) : to.Get(x, y));
      }
    }
  }

  void BuildWave() {
    const int L = std::min(W() / 2, H() / 2) * 2 / 3;
    wave_.assign(static_cast<size_t>(std::max(0, L)), 0);
    const int quarter = L / 4;
    if (quarter <= 0)
      return;
    for (int i = 0; i < L; ++i)
      wave_[static_cast<size_t>(i)] = static_cast<int32_t>(int64_t{i % quarter} * p0_ / quarter);
  }
  struct TCell {
    int32_t distance = 0;
    int32_t cos16 = 0, sin16 = 0;
  };
  int qw_ = 0, qh_ = 0;
  int32_t reach_ = 0;
  std::vector<TCell> cells_;
  std::vector<int32_t> wave_;
};

// ------------------------------------------------------------------------------ blurs

class TWipeBlurWhite : public TCustomWipe {
public:
  TWipeBlurWhite(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n, TGreyOp op = TGreyOp::Add)
      : TCustomWipe(s, o, n), op_(op) {}

protected:
  void Compose() override {
    // Blurred when the first step runs: the layers have drawn both pictures by then.
    if (blurred_old_.Width() != W() || blurred_old_.Height() != H()) {
      const int radius = std::min(W(), H()) / 20;
      wipe::BoxBlur(old_, radius, blurred_old_);
      wipe::BoxBlur(new_, radius, blurred_new_);
    }
    const int q = static_cast<int>(Progress(639));
    if (q < 256 || q >= 384) {
      CopyFrom(q < 256 ? old_ : new_);
      TDIBX& over = q < 256 ? blurred_old_ : blurred_new_;
      const int weight = q < 256 ? q : 639 - q;
      screen_.DrawAlpha(0, 0, weight, FlipNone, TKeyMode::Ignore, over.Bounds(), over);
      return;
    }
    CopyFrom(q < 320 ? blurred_old_ : blurred_new_);
    const int level = q < 320 ? 4 * (q - 256) : 4 * (383 - q);
    const TPixel pixel = static_cast<TPixel>(screen_.ColorToPixel(level * 0x010101));
    if (op_ == TGreyOp::Add)
      screen_.FillRectAdd(screen_.Bounds(), pixel);
    else
      screen_.FillRectSub(screen_.Bounds(), pixel);
  }

private:
  TGreyOp op_;
  TDIBX blurred_old_, blurred_new_;
};

class TWipeBlurBlack final : public TWipeBlurWhite {
public:
  TWipeBlurBlack(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n)
      : TWipeBlurWhite(s, o, n, TGreyOp::Sub) {}
};

} // namespace

namespace wipe {

std::unique_ptr<TCustomWipe> NewPixelKindWipe(int kind, TCustomDIBX& s, TCustomDIBX& o,
                                              TCustomDIBX& n) {
  switch (kind) {
  case WP_SPOT:
    return std::make_unique<TWipeSpot>(s, o, n);
  case WP_MASKWHITE:
    return std::make_unique<TWipeShadowWhite>(s, o, n);
  case WP_MASKBLACK:
    return std::make_unique<TWipeShadowBlack>(s, o, n);
  case WP_RIPPLE:
    return std::make_unique<TWipeRipple>(s, o, n);
  case WP_BLURWHITE:
    return std::make_unique<TWipeBlurWhite>(s, o, n);
  case WP_BLURBLACK:
    return std::make_unique<TWipeBlurBlack>(s, o, n);
  case WP_CRACK:
    return NewCrackWipe(s, o, n);
  default:
    return nullptr;
  }
}

} // namespace wipe
} // namespace nova
