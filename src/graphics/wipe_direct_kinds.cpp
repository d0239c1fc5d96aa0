// SPDX-License-Identifier: MIT
// The kinds made of whole-picture draws: fade, scrolls, white, black and flash, mosaic, sudare
// and rubber, shrinking and growing, twists and zoom.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphics/private/wipe_kinds.h"

namespace nova {
namespace {

constexpr double kPi = std::numbers::pi;

int32_t Round(double v) {
  return static_cast<int32_t>(std::clamp(std::nearbyint(v), -2147483648.0, 2147483647.0));
}

// (duration − elapsed − 1) / duration: the share of the time still to come.
double Remaining(int32_t duration, int32_t elapsed) {
  return static_cast<double>(int64_t{duration} - elapsed - 1) / duration;
}

class TWipeFade final : public TCustomWipe {
public:
  using TCustomWipe::TCustomWipe;

protected:
  void Compose() override {
    CopyFrom(old_);
    const double c = Remaining(duration, elapsed);
    new_.ResetClip();
    screen_.DrawAlpha(Round(p0_ * c), Round(p1_ * c), static_cast<int>(Progress(256)), FlipNone,
                      TKeyMode::Ignore, new_.Bounds(), new_);
  }
};

class TWipeScroll final : public TCustomWipe {
public:
  enum class TAxis { Horizontal, Vertical };
  TWipeScroll(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n, TAxis axis)
      : TCustomWipe(s, o, n), axis_(axis) {}

protected:
  void Compose() override {
    const int size = axis_ == TAxis::Horizontal ? W() : H();
    const int a = static_cast<int>(Progress(size));
    const int at_old = Reverse() ? a : -a, at_new = Reverse() ? a - size : size - a;
    Place(old_, at_old);
    Place(new_, at_new);
  }

private:
  void Place(TCustomDIBX& picture, int at) {
    const int x = axis_ == TAxis::Horizontal ? at : 0, y = axis_ == TAxis::Horizontal ? 0 : at;
    screen_.Draw(x, y, FlipNone, TKeyMode::Ignore, picture.Bounds(), picture);
  }
  TAxis axis_;
};

// White and black pass through a flat grey added to (or taken from) both pictures; the flash
// starts from white over the new picture.
class TWipeGreyPass final : public TCustomWipe {
public:
  enum class TMode { White, Black, Flash };
  TWipeGreyPass(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n, TMode mode)
      : TCustomWipe(s, o, n), mode_(mode) {}

protected:
  void Compose() override {
    int grey;
    bool add = mode_ != TMode::Black;
    if (mode_ == TMode::Flash) {
      grey = 255 - static_cast<int>(Progress(255));
      CopyFrom(new_);
    } else {
      const int q = static_cast<int>(Progress(511));
      CopyFrom(q < 256 ? old_ : new_);
      grey = q < 256 ? q : 511 - q;
    }
    const TPixel pixel = static_cast<TPixel>(screen_.ColorToPixel(grey * 0x010101));
    if (add)
      screen_.FillRectAdd(screen_.Bounds(), pixel);
    else
      screen_.FillRectSub(screen_.Bounds(), pixel);
  }

private:
  TMode mode_;
};

class TWipeMosaic final : public TCustomWipe {
public:
  using TCustomWipe::TCustomWipe;

protected:
  void Compose() override {
    if (work_.Width() != W() || work_.Height() != H() || work_.BitCount() != screen_.BitCount())
      work_.SetSize(W(), H(), screen_.BitCount());
    const int q = static_cast<int>(Progress(1023));
    int b;
    if (q <= 511)
      b = 263 - (q / 2) * 15 / 16;
    else
      b = ((q - 512) / 2) * 15 / 16 + 24;
    const TRect reduced{0, 0, std::max(1, (W() / 4) * b >> 8), std::max(1, (H() / 4) * b >> 8)};
    work_.ResetClip();
    if (q <= 255 || q >= 768) {
      Reduce(q <= 255 ? old_ : new_, reduced, 255);
    } else {
      Reduce(old_, reduced, 255);
      Reduce(new_, reduced, q <= 511 ? (q - 256) / 4 : (q - 256) / 2);
    }
    screen_.StretchDrawAlpha(screen_.Bounds(), work_, 255, FlipNone, TKeyMode::Ignore, reduced);
  }

private:
  void Reduce(TCustomDIBX& picture, const TRect& to, int weight) {
    if (weight > 0)
      work_.StretchDrawAlpha(to, picture, weight, FlipNone, TKeyMode::Ignore, picture.Bounds());
  }
  TDIBX work_;
};

// Sudare stretches one line of the source over the part already passed; rubber stretches a
// band whose width swells and shrinks with the time.
class TWipeStretchLine final : public TCustomWipe {
public:
  enum class TAxis { Horizontal, Vertical };
  enum class TBand { Line, Rubber };
  TWipeStretchLine(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n, TAxis axis, TBand band)
      : TCustomWipe(s, o, n), axis_(axis), band_(band) {}

protected:
  void Compose() override {
    const int size = axis_ == TAxis::Horizontal ? W() : H();
    int a = static_cast<int>(Progress(2 * int64_t{size} - 1));
    TCustomDIBX* source = &old_;
    if (a >= size) {
      source = &new_;
      a = 2 * size - a - 1;
    }
    CopyFrom(*source);
    const int k = band_ == TBand::Rubber ? BandWidth(Reverse() ? a + 1 : a) : 1;
    int from, to, dst_from, dst_to;
    if (!Reverse()) {
      from = band_ == TBand::Rubber ? std::max(0, a - k) : a;
      to = a + 1;
      dst_from = 0;
      dst_to = a + 1;
    } else {
      from = size - a - 1;
      to = band_ == TBand::Rubber ? std::min(size, from + k) : from + 1;
      dst_from = from;
      dst_to = size;
    }
    screen_.StretchDrawAlpha(Span(dst_from, dst_to), *source, 255, FlipNone, TKeyMode::Ignore,
                             Span(from, to));
  }

private:
  int BandWidth(int a) const {
    const double half = duration / 2.0;
    return std::max(1, Round(std::fabs(elapsed - half) * (a / 2.0) / half));
  }
  TRect Span(int from, int to) const {
    return axis_ == TAxis::Horizontal ? TRect{from, 0, to, H()} : TRect{0, from, W(), to};
  }
  TAxis axis_;
  TBand band_;
};

// Small shrinks the old picture away over the new one; big grows the new one over the old.
class TWipeScale final : public TCustomWipe {
public:
  enum class TMode { Small, Big };
  TWipeScale(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n, TMode mode)
      : TCustomWipe(s, o, n), mode_(mode) {}

protected:
  void Compose() override {
    const double t = Fraction(), c = Remaining(duration, elapsed);
    const bool small = mode_ == TMode::Small;
    CopyFrom(small ? new_ : old_);
    TCustomDIBX& moving = small ? old_ : new_;
    const double scale = small ? c : t;
    const double degrees = std::nearbyint(p0_ * (small ? t : c)) * (Reverse() ? -1 : 1);
    const int opacity = Round(255 * scale);
    if (opacity <= 0 || scale <= 0)
      return;
    screen_.DrawRotate(W() / 2, H() / 2, std::min(opacity, 255), TKeyMode::Ignore, FlipNone,
                       degrees * kPi / 180, moving.Height() / 2, moving.Width() / 2,
                       moving.Bounds(), moving, scale, scale);
  }

private:
  TMode mode_;
};

// Lines turn about the screen's middle axis one after another, showing the old picture's
// front and then the new picture's back.
class TWipeTwist final : public TCustomWipe {
public:
  enum class TAxis { Rows, Columns };
  TWipeTwist(TCustomDIBX& s, TCustomDIBX& o, TCustomDIBX& n, TAxis axis)
      : TCustomWipe(s, o, n), axis_(axis) {}

protected:
  void Compose() override {
    const bool rows = axis_ == TAxis::Rows;
    const int lines = rows ? H() : W(), across = rows ? W() : H();
    const double phi = Fraction() * 3 * kPi / 2;
    const TPixel black = static_cast<TPixel>(screen_.ColorToPixel(0));
    // Lines that have not started turning show the old picture.
    CopyFrom(old_);
    int finished = -1; // the last finished line, counted in turning order
    int i = 0;
    while (i < lines) {
      const double theta = phi - static_cast<double>(i) / lines * kPi / 2;
      if (theta >= kPi) {
        finished = i++;
        continue;
      }
      if (theta < 0)
        break;
      const int w = Round(across * std::cos(theta));
      // Neighbouring lines of equal width are one stretched block.
      int j = i + 1;
      while (j < lines) {
        const double next = phi - static_cast<double>(j) / lines * kPi / 2;
        if (next < 0 || Round(across * std::cos(next)) != w)
          break;
        ++j;
      }
      DrawBlock(i, j, w, lines, across, black);
      i = j;
    }
    if (finished >= 0) {
      const int first = Reverse() ? lines - 1 - finished : 0;
      const int last = Reverse() ? lines : finished + 1;
      const TRect r = rows ? TRect{0, first, W(), last} : TRect{first, 0, last, H()};
      screen_.Draw(r.Left, r.Top, FlipNone, TKeyMode::Ignore, r, new_);
    }
  }

private:
  // Lines [i, j) in turning order, w their signed width across.
  void DrawBlock(int i, int j, int w, int lines, int across, TPixel black) {
    const bool rows = axis_ == TAxis::Rows;
    const int from = Reverse() ? lines - j : i, to = Reverse() ? lines - i : j;
    const TRect band = rows ? TRect{0, from, W(), to} : TRect{from, 0, to, H()};
    screen_.FillRect(band, black);
    if (w == 0)
      return;
    TCustomDIBX& source = w > 0 ? old_ : new_;
    const int size = std::abs(w), at = (across - size) / 2;
    const TRect dst = rows ? TRect{at, from, at + size, to} : TRect{from, at, to, at + size};
    screen_.StretchDrawAlpha(dst, source, 255, FlipNone, TKeyMode::Ignore, band);
  }
  TAxis axis_;
};

class TWipeZoomin final : public TCustomWipe {
public:
  using TCustomWipe::TCustomWipe;

protected:
  void Compose() override {
    const double c = 2 * Fraction();
    const bool first = c <= 1;
    const double e = first ? 1 - c : c - 1, f = first ? c : 2 - c;
    const int w = std::max(1, Round(W() * e)), h = std::max(1, Round(H() * e));
    const int x = Place(p0_, W(), w, f), y = Place(p1_, H(), h, f);
    TCustomDIBX& source = first ? old_ : new_;
    screen_.StretchDrawAlpha(screen_.Bounds(), source, 255, FlipNone, TKeyMode::Ignore,
                             {x, y, x + w, y + h});
  }

private:
  // Where the source rectangle of `size` starts along a side of `length`: centred on the focus
  // pulled toward the middle by f, kept on the screen.
  static int Place(int32_t focus, int length, int size, double f) {
    const double centre =
        std::nearbyint((static_cast<double>(focus) - length / 2) * f) + length / 2 - size / 2;
    return static_cast<int>(
        std::clamp(centre, 0.0, static_cast<double>(std::max(0, length - size))));
  }
};

} // namespace

namespace wipe {

std::unique_ptr<TCustomWipe> NewDirectKindWipe(int kind, TCustomDIBX& s, TCustomDIBX& o,
                                               TCustomDIBX& n) {
  using TLine = TWipeStretchLine;
  switch (kind) {
  case WP_FADE:
    return std::make_unique<TWipeFade>(s, o, n);
  case WP_SCROLLH:
    return std::make_unique<TWipeScroll>(s, o, n, TWipeScroll::TAxis::Horizontal);
  case WP_SCROLLV:
    return std::make_unique<TWipeScroll>(s, o, n, TWipeScroll::TAxis::Vertical);
  case WP_WHITE:
    return std::make_unique<TWipeGreyPass>(s, o, n, TWipeGreyPass::TMode::White);
  case WP_BLACK:
    return std::make_unique<TWipeGreyPass>(s, o, n, TWipeGreyPass::TMode::Black);
  case WP_FLASH:
    return std::make_unique<TWipeGreyPass>(s, o, n, TWipeGreyPass::TMode::Flash);
  case WP_MOSAIC:
    return std::make_unique<TWipeMosaic>(s, o, n);
  case WP_SUDAREH:
    return std::make_unique<TLine>(s, o, n, TLine::TAxis::Horizontal, TLine::TBand::Line);
  case WP_SUDAREV:
    return std::make_unique<TLine>(s, o, n, TLine::TAxis::Vertical, TLine::TBand::Line);
  case WP_RUBBERH:
    return std::make_unique<TLine>(s, o, n, TLine::TAxis::Horizontal, TLine::TBand::Rubber);
  case WP_RUBBERV:
    return std::make_unique<TLine>(s, o, n, TLine::TAxis::Vertical, TLine::TBand::Rubber);
  case WP_SMALL:
    return std::make_unique<TWipeScale>(s, o, n, TWipeScale::TMode::Small);
  case WP_BIG:
    return std::make_unique<TWipeScale>(s, o, n, TWipeScale::TMode::Big);
  case WP_TWISTH:
    return std::make_unique<TWipeTwist>(s, o, n, TWipeTwist::TAxis::Rows);
  case WP_TWISTV:
    return std::make_unique<TWipeTwist>(s, o, n, TWipeTwist::TAxis::Columns);
  case WP_ZOOMIN:
    return std::make_unique<TWipeZoomin>(s, o, n);
  default:
    return nullptr;
  }
}

} // namespace wipe
} // namespace nova
