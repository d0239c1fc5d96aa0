// SPDX-License-Identifier: MIT
// Falling chips: the old picture breaks into squares that jump, drift and fall off the screen
// one after another, uncovering the new picture.
#include <algorithm>
#include <cmath>
#include <vector>

#include "expr/random.h"
#include "graphics/private/wipe_kinds.h"

namespace nova {
namespace {

// Height of a chip above (negative) or below its place after `age` steps: a jump, then a fall.
int64_t Drop(int64_t age) { return (5 * age * age - 1500 * age) / 1000; }

// One chip: its square of the old picture, when it starts and how it drifts.
struct TWipeCrackDraw {
  TRect place;
  int64_t start = 0;
  int32_t drift = 0; // hundredths of a pixel per step
};

class TWipeCrack final : public TCustomWipe {
public:
  TWipeCrack(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n) : TCustomWipe(s, o, n) {
    p0_ = 64;
    p1_ = 3;
  }
  void Prepare() override { BuildChips(); }

protected:
  int32_t ClampParam(int index, int32_t value) const override {
    return std::max(value, index == 0 ? 16 : 0);
  }
  void ParamChanged(int) override { chips_dirty_ = true; }
  void Compose() override {
    if (chips_dirty_)
      BuildChips();
    CopyFrom(new_);
    if (chips_.empty())
      return;
    const int64_t count = static_cast<int64_t>(chips_.size());
    const int64_t b = Progress(fall_time_ + (count - 1) * p1_);
    for (const TWipeCrackDraw& chip : chips_)
      if (b < chip.start)
        screen_.Draw(chip.place.Left, chip.place.Top, FlipNone, TKeyMode::Ignore, chip.place, old_);
    for (auto it = chips_.rbegin(); it != chips_.rend(); ++it) {
      if (b < it->start)
        continue;
      const int64_t age = b - it->start;
      // From the fall time on every chip is below the screen (the drop only grows by then).
      if (age >= fall_time_)
        continue;
      const int64_t y = it->place.Top + Drop(age);
      if (y >= H())
        continue;
      const int64_t x = it->place.Left + age * it->drift / 100;
      screen_.Draw(static_cast<int>(std::clamp<int64_t>(x, INT32_MIN / 2, INT32_MAX / 2)),
                   static_cast<int>(y), FlipNone, TKeyMode::Ignore, it->place, old_);
    }
  }

private:
  void BuildChips() {
    chips_dirty_ = false;
    chips_.clear();
    if (W() <= 0 || H() <= 0)
      return;
    const int64_t side = p0_;
    const int64_t nx = (W() + side - 1) / side, ny = (H() + side - 1) / side;
    for (int64_t y = 0; y < ny; ++y)
      for (int64_t x = 0; x < nx; ++x)
        chips_.push_back({{static_cast<int32_t>(x * side), static_cast<int32_t>(y * side),
                           static_cast<int32_t>(std::min<int64_t>(W(), (x + 1) * side)),
                           static_cast<int32_t>(std::min<int64_t>(H(), (y + 1) * side))}});
    TRandom& random = GlobalRandom();
    for (size_t i = chips_.size(); i > 1; --i)
      std::swap(chips_[i - 1], chips_[static_cast<size_t>(random.Next(static_cast<int32_t>(i)))]);
    for (size_t j = 0; j < chips_.size(); ++j) {
      chips_[j].start = static_cast<int64_t>(j) * p1_;
      chips_[j].drift = random.Next(200) - 100;
    }
    // The first age at which a chip has fallen the screen's height.
    int64_t e = static_cast<int64_t>((1500 + std::sqrt(1500.0 * 1500 + 20000.0 * H())) / 10) - 2;
    e = std::max<int64_t>(e, 300);
    while (Drop(e) < H())
      ++e;
    while (e > 300 && Drop(e - 1) >= H())
      --e;
    fall_time_ = e;
  }

  std::vector<TWipeCrackDraw> chips_;
  int64_t fall_time_ = 0;
  bool chips_dirty_ = true;
};

} // namespace

namespace wipe {

std::unique_ptr<TCustomWipe> NewCrackWipe(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n) {
  return std::make_unique<TWipeCrack>(s, o, n);
}

} // namespace wipe
} // namespace nova
