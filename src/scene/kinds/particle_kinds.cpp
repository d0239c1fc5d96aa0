// SPDX-License-Identifier: MIT
#include "scene/kinds/particle_kinds.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/run_state.h"
#include "base/serializer.h"
#include "expr/params.h"
#include "expr/random.h"
#include "scene/component_factory.h"
#include "scene/nova_base_list.h"
#include "scene/nova_motion.h"
#include "scene/prop_groups.h"

namespace nova {
namespace {

constexpr int64_t kTickMs = 16;
constexpr double kTwoPi = 2 * std::numbers::pi;
// Scripts and saved data choose the spawn interval and the pre-roll; one step never makes
// more particles than this, so no value can stall a frame.
constexpr int kMaxSpawnsPerStep = 1024;

// A value in [0, 1) from the shared generator.
double Random01() { return GlobalRandom().Next(1 << 30) / static_cast<double>(1 << 30); }

// base plus 0 up to spread - 1 (nothing for a spread below 2), kept within 32 bits.
int32_t Spread(int32_t base, int32_t spread) {
  const int64_t v = int64_t{base} + (spread > 1 ? GlobalRandom().Next(spread) : 0);
  return static_cast<int32_t>(std::min<int64_t>(v, INT32_MAX));
}

int32_t Round32(double v) {
  return std::isfinite(v)
             ? static_cast<int32_t>(std::clamp(std::nearbyint(v), -2147483648.0, 2147483647.0))
             : 0;
}

bool EndsWith(const std::string& name, const char* upper_ext) {
  return IsExtension(name, upper_ext);
}

} // namespace

// --- Particle images ---

TNovaParticleImages::~TNovaParticleImages() {
  if (emitter_)
    emitter_->Forget(this);
}

TNovaImageList* TNovaParticleImages::GetFrameList() const {
  return emitter_ ? &emitter_->Frames() : nullptr;
}

void TNovaParticleImages::InitPath() {
  const double x = left_, y = top_;
  const double w = emitter_ ? emitter_->GetWidth() : 0, h = emitter_ ? emitter_->GetHeight() : 0;
  switch (kind_) {
  case PM_SNOW:
    base_x_ = x;
    phase_ = 0;
    omega_ = 0.02 + 0.02 * Random01();
    if (p_[0] <= 0)
      p_[0] = 0.2;
    extra_ = p_[2] > p_[1] ? Random01() * (p_[2] - p_[1]) : 0;
    acc_ = 0;
    break;
  case PM_STAR: {
    centre_x_ = x;
    centre_y_ = y;
    phase_ = Random01() * kTwoPi;
    radius_ = p_[0] + 0.1;
    SetLeft(Round32(centre_x_ + radius_ * std::cos(phase_)));
    SetTop(Round32(centre_y_ + radius_ * std::sin(phase_)));
    const double dx = centre_x_ > w / 2 ? centre_x_ : w - centre_x_;
    const double dy = centre_y_ > h / 2 ? centre_y_ : h - centre_y_;
    far_ = std::sqrt(dx * dx + dy * dy);
    p_[2] = Random01() * 0.3 * p_[2] + 0.7 * p_[2];
    break;
  }
  case PM_FLUFF:
    p_[1] = p_[1] + Random01() * (p_[2] - p_[1]);
    pos_x_ = x;
    base_y_ = y;
    t_ = 0;
    break;
  case PM_TWISTER:
    base_x_ = x;
    pos_y_ = y;
    radius_ = Random01() * 0.05 * p_[1] / 2 + 0.95 * p_[1] / 2;
    omega_ = Random01() * p_[2] / 2 + p_[2] / 2;
    phase_ = 0;
    break;
  default:
    break;
  }
}

void TNovaParticleImages::Advance(int64_t ticks) {
  if (ticks <= 0 || finished_)
    return;
  const double n = static_cast<double>(ticks);
  const double w = emitter_ ? emitter_->GetWidth() : 0, h = emitter_ ? emitter_->GetHeight() : 0;
  switch (kind_) {
  case PM_SNOW: {
    phase_ += omega_ * n;
    SetLeft(Round32(std::sin(phase_) * (p_[1] + extra_)) + Round32(base_x_));
    acc_ += n * p_[0];
    if (acc_ >= 1) {
      const double whole = std::floor(acc_);
      SetTop(Round32(top_ + whole));
      acc_ -= whole;
    }
    if (top_ >= h)
      finished_ = true;
    break;
  }
  case PM_STAR: {
    if (ticks > 1)
      radius_ *= std::pow(p_[1], n - 1);
    if (!std::isfinite(radius_) || std::fabs(radius_) > 2147483647.0) {
      finished_ = true;
      break;
    }
    SetLeft(Round32(centre_x_ + radius_ * std::cos(phase_)));
    SetTop(Round32(centre_y_ + radius_ * std::sin(phase_)));
    radius_ *= p_[1];
    phase_ += p_[2];
    if (radius_ >= far_)
      finished_ = true;
    break;
  }
  case PM_FLUFF: {
    pos_x_ += n * p_[1];
    SetLeft(Round32(pos_x_));
    t_ += n;
    SetTop(Round32(base_y_ - Round32(p_[0] * t_ * t_)));
    const bool right = p_[1] >= 0;
    if ((right ? left_ >= w : left_ + width_ < 0) || top_ + height_ < 0)
      finished_ = true;
    break;
  }
  case PM_TWISTER: {
    phase_ += n * omega_;
    if (phase_ > kTwoPi)
      phase_ = std::fmod(phase_, kTwoPi);
    const double z = std::fabs(std::cos(phase_ / 2)) * 0.5 + 0.5;
    SetFloatZoomX(z);
    SetFloatZoomY(z);
    SetLeft(Round32(z * std::sin(phase_) * radius_) + Round32(base_x_));
    pos_y_ -= n * p_[0];
    SetTop(Round32(pos_y_));
    SetPriority(Round32((z - 0.5) / 0.5 * 2000 - 1000));
    if (top_ + height_ < 0)
      finished_ = true;
    break;
  }
  default:
    break;
  }
}

bool TNovaParticleImages::LeftEmitter() const {
  const double w = emitter_ ? emitter_->GetWidth() : 0;
  switch (kind_) {
  case PM_SNOW:
  case PM_FLUFF:
  case PM_TWISTER:
    return top_ + height_ < 0 || left_ + width_ < 0 || left_ >= w;
  default:
    return false;
  }
}

bool TNovaParticleImages::Update() {
  if (finished_ || !emitter_)
    return true;
  age_ms_ += RunState().FrameDelta;
  if (motion_) {
    // The film plays at the particle's own age and ends it.
    if (TNovaControl::Update() || (GetMotion() && GetMotion()->Finished()))
      return true;
    return LeftEmitter();
  }
  return TNovaCustomImages::Update();
}

// --- Emitter ---

TNovaParticle::~TNovaParticle() {
  for (TNovaParticleImages* p : particles_)
    p->Detach();
}

void TNovaParticle::Forget(TNovaParticleImages* p) {
  particles_.erase(std::remove(particles_.begin(), particles_.end(), p), particles_.end());
}

void TNovaParticle::SetExpressions(const TNovaParser& appear_x, const TNovaParser& appear_y,
                                   const TNovaParser& delay) {
  appear_x_ = appear_x;
  appear_y_ = appear_y;
  delay_ = delay;
}

int32_t TNovaParticle::Evaluate(TNovaParser& e, int32_t fallback) {
  TParamCollection* vars = ServicesOf(owner_).images.vars;
  if (e.Empty() || !vars)
    return fallback;
  e.Execute(*vars);
  return e.Result() ? e.Result()->AsInt() : fallback;
}

void TNovaParticle::RemoveParticles() {
  const std::vector<TNovaParticleImages*> living = particles_;
  particles_.clear();
  for (TNovaParticleImages* p : living) {
    p->Detach();
    p->FreeLater();
  }
}

void TNovaParticle::SetSource(const std::string& source) {
  RemoveParticles();
  frames_.Clear();
  FreeMotion();
  source_ = source;
  film_ = EndsWith(source, ".NMT");
  if (!film_)
    frames_.Load(ServicesOf(owner_).images.cache, this, source);
  state_ = 0;
}

void TNovaParticle::Spawn(int64_t remaining_ms) {
  auto* p = CreateComponent<TNovaParticleImages>(owner_);
  p->emitter_ = this;
  if (owner_) {
    // Numbered on from the last particle: the lowest free number would cost a scan of the
    // whole scene per candidate, and particles are made in their thousands.
    const std::string stem = "\x01" + name_ + "\x01";
    std::string name;
    do
      name = stem + std::to_string(next_number_++);
    while (owner_->NameTaken(name));
    p->SetNameRaw(std::move(name));
  }
  p->kind_ = kind_;
  for (size_t i = 0; i < 3; ++i)
    p->p_[i] = static_cast<double>(params_[i]);
  int32_t x = 0, y = 0;
  if (emission_) {
    x = Spread(emission_->x, emission_->spread_x);
    y = Spread(emission_->y, emission_->spread_y);
  } else {
    x = Evaluate(appear_x_, 0);
    y = Evaluate(appear_y_, 0);
  }
  p->SetParent(this);
  p->SetLeft(x);
  p->SetTop(y);
  p->SetAlpha(alpha_);
  if (film_)
    p->StartMotion(source_);
  else if (frames_.Count() > 0)
    p->SetIndex(0);
  p->InitPath();
  particles_.push_back(p);
  if (remaining_ms > 0)
    p->Advance(remaining_ms / kTickMs);
}

void TNovaParticle::Step(int64_t ticks, bool spawn) {
  if (spawn)
    countdown_ms_ -= ticks * kTickMs;
  if (ticks > 0) {
    const std::vector<TNovaParticleImages*> living = particles_;
    for (auto it = living.rbegin(); it != living.rend(); ++it)
      (*it)->Advance(ticks);
  }
  if (!spawn || kind_ == PM_NONE)
    return;
  int64_t remaining = ticks * kTickMs;
  for (int made = 0; countdown_ms_ <= 0; ++made) {
    const int32_t interval =
        std::max(2, emission_ ? Spread(emission_->interval_base, emission_->interval_spread)
                              : Evaluate(delay_, 16));
    countdown_ms_ += interval;
    remaining -= interval;
    if (made >= kMaxSpawnsPerStep) {
      countdown_ms_ = std::max<int64_t>(countdown_ms_, interval);
      break;
    }
    Spawn(remaining);
  }
}

bool TNovaParticle::Update() {
  const bool done = TNovaControl::Update();
  if (ani_paused_)
    return done;
  const int32_t elapsed = RunState().FrameDelta;
  switch (state_) {
  case 0:
    state_ = 1;
    clock_ms_ = preroll_ms_;
    countdown_ms_ = 0;
    Step(clock_ms_ / kTickMs, true);
    clock_ms_ %= kTickMs;
    break;
  case 1:
    clock_ms_ += elapsed;
    Step(clock_ms_ / kTickMs, true);
    clock_ms_ %= kTickMs;
    if (duration_ms_ > 0) {
      duration_ms_ -= elapsed;
      if (duration_ms_ <= 0)
        state_ = 2;
    }
    break;
  default:
    if (particles_.empty())
      return true;
    clock_ms_ += elapsed;
    Step(clock_ms_ / kTickMs, false);
    clock_ms_ %= kTickMs;
    break;
  }
  return done;
}

const TPropTable& TNovaParticle::Props() {
  using T = TNovaParticle;
  using namespace props;
  static constexpr std::array kRows{
      Stored<&T::source_, &T::SetSource>(PR_SOURCE, peNone),
      Custom<T>(
          PR_PARTMOTION, peNone, [](const T& o) { return TPropValue::Int(o.kind_); },
          [](T& o, const TPropValue& v) {
            if (static_cast<uint8_t>(v.i) == o.kind_)
              return;
            o.kind_ = static_cast<uint8_t>(v.i);
            o.state_ = 0;
          }),
      Custom<T>(
          PR_PARAM1, peNone, [](const T& o) { return TPropValue::Real(o.Param(0)); },
          [](T& o, const TPropValue& v) { o.SetParam(0, v.r); }),
      Custom<T>(
          PR_PARAM2, peNone, [](const T& o) { return TPropValue::Real(o.Param(1)); },
          [](T& o, const TPropValue& v) { o.SetParam(1, v.r); }),
      Custom<T>(
          PR_PARAM3, peNone, [](const T& o) { return TPropValue::Real(o.Param(2)); },
          [](T& o, const TPropValue& v) { o.SetParam(2, v.r); }),
      Field<&T::alpha_>(PR_ALPHA),
      Field<&T::preroll_ms_>(PR_INDEX),
      Field<&T::duration_ms_>(PR_DURATION),
      Flag<&T::paused_>(PR_PAUSED),
      Field<&T::idle_handler_>(PR_ONIDLE),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaParticle::SyncKind(TSerializer& s) {
  for (auto* ops : {&appear_x_, &appear_y_, &delay_}) {
    if (s.Saving())
      ops->SaveOps(s.Writer());
    else
      ops->LoadOps(s.Reader());
  }
  std::string source = source_;
  s.String(source);
  s.U8(kind_);
  for (long double& p : params_) {
    s.Extended(p);
    if (s.Loading() && !std::isfinite(p))
      p = 0;
  }
  s.I32(alpha_);
  s.I32(preroll_ms_, Since{104});
  s.String(idle_handler_, Since{104});
  s.Flag(paused_, Since{104});
  s.I32(duration_ms_, Since{104});
  if (s.Saving())
    return;
  SetSource(source);
  // Particles are not saved: the emitter starts again with its pre-roll.
  state_ = 0;
}

// --- Fire ---

namespace {

// A black, red, orange, yellow, pale yellow ramp (0xRRGGBB) through the telling rows.
constexpr std::array<std::pair<int, uint32_t>, 10> kRampRows = {{{0, 0x000000},
                                                                 {16, 0x331301},
                                                                 {32, 0x662703},
                                                                 {64, 0x923E04},
                                                                 {96, 0xBE5506},
                                                                 {128, 0xDF7509},
                                                                 {160, 0xF39D0D},
                                                                 {192, 0xFFC037},
                                                                 {224, 0xFFD373},
                                                                 {255, 0xFFE6AF}}};

uint32_t RampRgb(int i) {
  for (size_t k = 1; k < kRampRows.size(); ++k) {
    const auto [i1, c1] = kRampRows[k];
    if (i > i1)
      continue;
    const auto [i0, c0] = kRampRows[k - 1];
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
      const int a = static_cast<int>((c0 >> shift) & 0xFF),
                b = static_cast<int>((c1 >> shift) & 0xFF);
      const int v = a + (b - a) * (i - i0) / (i1 - i0);
      out |= static_cast<uint32_t>(v) << shift;
    }
    return out;
  }
  return kRampRows.back().second;
}

// The ramp in the target's native pixels.
std::array<TPixel, 256> RampFor(const TCustomDIBX& target) {
  std::array<TPixel, 256> table{};
  for (int i = 0; i < 256; ++i) {
    const uint32_t rgb = RampRgb(i);
    const int32_t bgr = static_cast<int32_t>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16));
    table[static_cast<size_t>(i)] = static_cast<TPixel>(target.ColorToPixel(bgr));
  }
  return table;
}

// The largest heat buffer side: scripts and saved data choose the size.
constexpr int32_t kMaxBufferSide = 1024;
constexpr uint8_t kHeatKey = 16;

} // namespace

TNovaFire::TNovaFire(TNovaBaseList* owner) : TNovaControl(owner) { BuildCooling(4.5); }

double TNovaFire::Divisor(int32_t power) {
  const double x = (128.0 - power) / 128.0 * 1.2825 + 4.2175;
  return x <= 0 ? 0.0001 : x;
}

void TNovaFire::BuildCooling(double divisor) {
  for (int i = 0; i < 1024; ++i) {
    const double k = std::pow((1023.0 - i) / 1023.0, 3);
    const double v = std::nearbyint(i / (divisor - 0.05 * k));
    cooling_[static_cast<size_t>(i)] = static_cast<uint8_t>(std::clamp(v, 0.0, 254.0));
  }
}

void TNovaFire::SetPower(int32_t p) {
  power_ = std::clamp(p, 0, 255);
  BuildCooling(Divisor(power_));
}

int32_t TNovaFire::ZoomX() const { return Round32(static_cast<double>(zoom_x_) * 256); }
int32_t TNovaFire::ZoomY() const { return Round32(static_cast<double>(zoom_y_) * 256); }

void TNovaFire::Resize() {
  SetBounds(left_, top_, Round32(static_cast<double>(buffer_w_ * zoom_x_)),
            Round32(static_cast<double>(buffer_h_ * zoom_y_)));
  ready_ = 0;
}

void TNovaFire::SetBuffer(int32_t w, int32_t h) {
  buffer_w_ = std::clamp(w, 0, kMaxBufferSide);
  buffer_h_ = std::clamp(h, 0, kMaxBufferSide);
  Resize();
}

void TNovaFire::Prepare() {
  const size_t cells = static_cast<size_t>(buffer_w_) * static_cast<size_t>(buffer_h_);
  heat_.assign(cells, kHeatKey);
  jitter_.resize(cells);
  for (uint8_t& j : jitter_)
    j = static_cast<uint8_t>(GlobalRandom().Next(9));
  row_wheel_.resize(static_cast<size_t>(2 * buffer_h_));
  for (int32_t i = 0; i < 2 * buffer_h_; ++i)
    row_wheel_[static_cast<size_t>(i)] = i % buffer_h_;
  column_wheel_.resize(static_cast<size_t>(2 * buffer_w_));
  for (int32_t i = 0; i < 2 * buffer_w_; ++i)
    column_wheel_[static_cast<size_t>(i)] = i % buffer_w_;
  row_cursor_ = column_cursor_ = 0;
  picture_.reset();
  if (cells > 0) {
    picture_ = std::make_unique<TDIBX>(buffer_w_, buffer_h_, 8);
    picture_->Clear(kHeatKey);
  }
  ready_ = 1;
}

void TNovaFire::FireStep() {
  const int32_t w = buffer_w_, h = buffer_h_;
  if (w < 3 || h < 3)
    return;
  row_cursor_ = row_wheel_[static_cast<size_t>(row_cursor_ + 1)];
  column_cursor_ =
      column_wheel_[static_cast<size_t>(column_cursor_ + (row_cursor_ % 8 == 0 ? 1 : 0))];
  const auto at = [&](int32_t r, int32_t c) -> uint8_t& {
    return heat_[static_cast<size_t>(r) * static_cast<size_t>(w) + static_cast<size_t>(c)];
  };
  for (int32_t r = std::max(0, h - 4); r < h; ++r)
    for (int32_t c = 0; c < w; ++c)
      at(r, c) = 254;
  for (int32_t r = 0; r <= h - 3; ++r) {
    const size_t jitter_row =
        static_cast<size_t>(row_wheel_[static_cast<size_t>(row_cursor_ + r + 1)]) *
        static_cast<size_t>(w);
    for (int32_t c = 1; c <= w - 2; ++c) {
      const int sum = at(r, c) + at(r + 1, c - 1) + at(r + 1, c + 1) + at(r + 2, c);
      const int j =
          jitter_[jitter_row +
                  static_cast<size_t>(column_wheel_[static_cast<size_t>(column_cursor_ + c)])];
      const int v = cooling_[static_cast<size_t>(sum)] - j;
      at(r, c) = static_cast<uint8_t>(v < kHeatKey ? kHeatKey : v);
    }
  }
  if (picture_)
    for (int32_t r = 0; r < h; ++r)
      if (uint8_t* row = picture_->PixelAddress(0, r))
        std::copy_n(&at(r, 0), static_cast<size_t>(w), row);
}

bool TNovaFire::Update() {
  const bool done = TNovaControl::Update();
  if (!ready_) {
    Prepare();
    return done;
  }
  if (ani_paused_)
    return done;
  step_clock_ms_ += RunState().FrameDelta;
  if (step_clock_ms_ > 39) {
    // One step at most per frame, whatever the frame time.
    step_clock_ms_ %= 40;
    FireStep();
    Invalidate();
  }
  return done;
}

void TNovaFire::Draw() {
  TCustomDIBX* target = GetTargetSurface();
  const int bits = target ? target->BitCount() : 0;
  if (Visible() && picture_ && (bits == 15 || bits == 16 || bits == 32)) {
    const std::array<TPixel, 256> ramp = RampFor(*target);
    // The key value and everything below it stay transparent.
    constexpr int kThreshold = kHeatKey + 1;
    if (width_ == buffer_w_ && height_ == buffer_h_) {
      target->DrawPaletteAdd(ScreenLeft(), ScreenTop(), ramp, 255, FlipNone, kThreshold,
                             picture_->Bounds(), *picture_);
    } else if (width_ > 0 && height_ > 0) {
      const TSceneRect b = ScreenBounds();
      TRect dst;
      dst.Left = b.Left;
      dst.Top = b.Top;
      dst.Right = b.Right;
      dst.Bottom = b.Bottom;
      target->StretchDrawPaletteAdd(dst, ramp, 255, FlipNone, kThreshold, picture_->Bounds(),
                                    *picture_);
    }
  }
  DrawChildren();
}

void TNovaFire::SetFloatZoomX(long double z) {
  if (!std::isfinite(z) || z == zoom_x_)
    return;
  zoom_x_ = z;
  PlacementChanged();
  Resize();
}

void TNovaFire::SetFloatZoomY(long double z) {
  if (!std::isfinite(z) || z == zoom_y_)
    return;
  zoom_y_ = z;
  PlacementChanged();
  Resize();
}

const TPropTable& TNovaFire::Props() {
  using T = TNovaFire;
  using namespace props;
  static constexpr auto kRows = JoinRows(
      ZoomRows<T>(),
      std::array{
          Stored<&T::power_, &T::SetPower>(PR_POWER, peNone),
          Custom<T>(
              PR_ORIGWIDTH, peGeometry, [](const T& o) { return TPropValue::Int(o.buffer_w_); },
              [](T& o, const TPropValue& v) {
                if (v.i != o.buffer_w_)
                  o.SetBuffer(v.i, o.buffer_h_);
              }),
          Custom<T>(
              PR_ORIGHEIGHT, peGeometry, [](const T& o) { return TPropValue::Int(o.buffer_h_); },
              [](T& o, const TPropValue& v) {
                if (v.i != o.buffer_h_)
                  o.SetBuffer(o.buffer_w_, v.i);
              }),
          Flag<&T::paused_>(PR_PAUSED),
          Field<&T::idle_handler_>(PR_ONIDLE),
      });
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaFire::SyncKind(TSerializer& s) {
  int32_t power = power_, w = buffer_w_, h = buffer_h_;
  s.I32(power);
  if (s.Loading())
    SetPower(power);
  s.I32(w);
  s.I32(h);
  // Older data holds the zoom in 256ths.
  const auto zoom = [&s](long double& z) {
    if (s.Has(Since{143}))
      s.Extended(z);
    else
      z = s.Reader().I32() / 256.0L;
    if (s.Loading() && !std::isfinite(z))
      z = 1.0L;
  };
  zoom(zoom_x_);
  if (s.Has(Since{104})) {
    s.String(idle_handler_);
    s.Flag(paused_);
    zoom(zoom_y_);
  } else {
    zoom_y_ = zoom_x_;
  }
  if (s.Loading())
    SetBuffer(w, h);
}

// --- Wave ---

namespace {
constexpr int32_t kMaxWaveRows = 1 << 14;
} // namespace

TDIBXWave* TNovaWave::WaveSurface() const {
  TCustomDIBX* target = parent_ ? parent_->GetTargetSurface() : nullptr;
  if (!target) {
    wave_.reset();
    return nullptr;
  }
  if (!wave_ || &wave_->Inner() != target)
    wave_ = std::make_unique<TDIBXWave>(*target);
  wave_->SetFirstRow(ScreenTop());
  wave_->Offsets() = offsets_;
  return wave_.get();
}

TCustomDIBX* TNovaWave::GetTargetSurface() const {
  if (amp_ == 0)
    return TNovaControl::GetTargetSurface();
  return WaveSurface();
}

bool TNovaWave::ComputeOffsets() {
  // Rows beyond the largest screen stay unshifted; the height may come from damaged data.
  std::vector<int32_t> next(static_cast<size_t>(std::clamp(height_, 0, kMaxWaveRows)));
  const double len = std::max(wave_len_, 1);
  for (size_t i = 0; i < next.size(); ++i)
    next[i] =
        Round32(std::sin(kTwoPi * phase_ / 256 + static_cast<double>(i) * kTwoPi / len) * amp_);
  const bool changed = next != offsets_;
  offsets_ = std::move(next);
  return changed;
}

bool TNovaWave::Update() {
  const bool done = TNovaControl::Update();
  if (ani_paused_)
    return done;
  const int64_t period = std::max(period_ms_, 1);
  const int64_t q = int64_t{RunState().FrameDelta} * 256 + remainder_;
  remainder_ = static_cast<int32_t>(q % period);
  const int64_t steps = q / period;
  if (steps > 0) {
    phase_ = static_cast<int32_t>(((phase_ - steps) % 255 + 255) % 255);
    if (ComputeOffsets())
      Invalidate();
  }
  return done;
}

void TNovaWave::Draw() {
  if (amp_ != 0)
    if (TDIBXWave* wave = WaveSurface())
      wave->SetStoredClip(wave->Inner().StoredClip());
  DrawChildren();
}

void TNovaWave::ContentChanged(const TSceneRect& r) {
  // The rows move sideways by up to the amplitude.
  const int32_t a = std::abs(std::clamp(amp_, -(1 << 20), 1 << 20));
  TSceneRect wide = r;
  wide.Left = static_cast<int32_t>(std::max<int64_t>(int64_t{r.Left} - a, INT32_MIN));
  wide.Right = static_cast<int32_t>(std::min<int64_t>(int64_t{r.Right} + a, INT32_MAX));
  TNovaControl::ContentChanged(wide);
  if (TNovaBase* layer = GetBase(); layer && a > 0)
    layer->AddDirtyRect(wide);
}

const TPropTable& TNovaWave::Props() {
  using T = TNovaWave;
  using namespace props;
  static constexpr std::array kRows{
      Custom<T>(
          PR_AMP, pePicture, [](const T& o) { return TPropValue::Int(o.amp_); },
          [](T& o, const TPropValue& v) {
            o.Invalidate();
            o.amp_ = v.i;
            o.ComputeOffsets();
            o.Invalidate();
          }),
      Custom<T>(
          PR_WAVELEN, pePicture, [](const T& o) { return TPropValue::Int(o.wave_len_); },
          [](T& o, const TPropValue& v) {
            o.wave_len_ = std::max(1, v.i);
            o.ComputeOffsets();
            o.Invalidate();
          }),
      Custom<T>(
          PR_DELAY, peNone, [](const T& o) { return TPropValue::Int(o.period_ms_); },
          [](T& o, const TPropValue& v) { o.period_ms_ = std::max(1, v.i); }),
      Flag<&T::paused_>(PR_PAUSED),
      Field<&T::idle_handler_>(PR_ONIDLE),
      // The offsets of the rows depend on the height.
      WriteThen<T, &TNovaControl::Props, PR_HEIGHT>(peGeometry, [](T& o) { o.ComputeOffsets(); }),
  };
  static constexpr TPropTable kTable = MakePropTable(&TNovaControl::Props, kRows);
  return kTable;
}

void TNovaWave::SyncKind(TSerializer& s) {
  s.I32(amp_);
  s.I32(wave_len_);
  s.I32(period_ms_);
  s.String(idle_handler_, Since{104});
  s.Flag(paused_, Since{104});
  if (s.Saving())
    return;
  wave_len_ = std::max(1, wave_len_);
  period_ms_ = std::max(1, period_ms_);
  ComputeOffsets();
}

} // namespace nova
