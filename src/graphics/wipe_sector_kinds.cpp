// SPDX-License-Identifier: MIT
// The mask kinds drawn as sectors and circles about the screen's centre: clock hand, fan, double
// fan and circle.
#include <cmath>
#include <numbers>

#include "graphics/private/wipe_kinds.h"
#include "graphics/private/wipe_sector_fill.h"

namespace nova {
namespace {

constexpr double kPi = std::numbers::pi;

// The sector kinds: P0 is an angle in degrees clockwise from twelve o'clock, any value.
class TWipeSectorBase : public TWipeMask {
public:
  using TWipeMask::TWipeMask;
  void Prepare() override {
    TWipeMask::Prepare();
    field_.Build(W(), H());
  }
  bool BuildMask() override {
    // The angles move with every change of the elapsed time.
    if (!NewProgress(elapsed))
      return false;
    FillMask(mask_.Bounds(), 0);
    DrawSectors(Fraction());
    binary_ = true;
    return true;
  }

protected:
  int32_t ClampParam(int, int32_t value) const override { return value; }
  double StartAngle() const { return p0_ * (2 * kPi / 360) - kPi / 2; }
  virtual void DrawSectors(double t) = 0;
  wipe::TSectorField field_;
};

class TWipeClockhand final : public TWipeSectorBase {
public:
  using TWipeSectorBase::TWipeSectorBase;

protected:
  void DrawSectors(double t) override {
    const double a0 = StartAngle(), sweep = t * 2 * kPi;
    field_.Fill(mask_, Reverse() ? a0 - sweep : a0, sweep, 255);
  }
};

class TWipeFan final : public TWipeSectorBase {
public:
  using TWipeSectorBase::TWipeSectorBase;

protected:
  void DrawSectors(double t) override {
    field_.Fill(mask_, StartAngle() - t * kPi, t * 2 * kPi, 255);
  }
};

class TWipeWFan final : public TWipeSectorBase {
public:
  using TWipeSectorBase::TWipeSectorBase;

protected:
  void DrawSectors(double t) override {
    for (const double axis : {StartAngle(), StartAngle() + kPi})
      field_.Fill(mask_, axis - t * kPi / 2, t * kPi, 255);
  }
};

class TWipeCircle final : public TWipeMask {
public:
  TWipeCircle(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n) : TWipeMask(s, o, n) {
    p0_ = 2;
    p1_ = 1;
  }
  bool BuildMask() override {
    const double full = std::hypot(W() / 2, H() / 2);
    const double t = Fraction();
    const int64_t r = std::llrint(full * (Reverse() ? 1 - t : t));
    if (!NewProgress(r))
      return false;
    binary_ = true;
    if (Reverse())
      wipe::FillCircle(mask_, r, 0, 255);
    else
      wipe::FillCircle(mask_, r, 255, 0);
    return true;
  }
};

} // namespace

namespace wipe {

std::unique_ptr<TCustomWipe> NewSectorKindWipe(int kind, TCustomDIBX& s, TCustomDIBX& o,
                                               TCustomDIBX& n) {
  switch (kind) {
  case WP_CLOCKHAND:
    return std::make_unique<TWipeClockhand>(s, o, n);
  case WP_FAN:
    return std::make_unique<TWipeFan>(s, o, n);
  case WP_WFAN:
    return std::make_unique<TWipeWFan>(s, o, n);
  case WP_CIRCLE:
    return std::make_unique<TWipeCircle>(s, o, n);
  default:
    return nullptr;
  }
}

} // namespace wipe
} // namespace nova
