// SPDX-License-Identifier: MIT
// Procedural effects: the particle emitter with its particle images, the fire, and the wave
// that shifts every row of what its children draw.
#pragma once
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "expr/nova_parser.h"
#include "graphics/dibx.h"
#include "graphics/dibx_wave.h"
#include "scene/kinds/custom_images.h"
#include "scene/kinds/image_list.h"
#include "scene/nova_control.h"

namespace nova {

class TNovaParticle;

// One particle: an image that follows its emitter's path kind.
class TNovaParticleImages : public TNovaCustomImages {
public:
  // Particles never take the mouse.
  explicit TNovaParticleImages(TNovaBaseList* owner) : TNovaCustomImages(owner) {
    ignore_mouse_ = IM_ALL;
  }
  ~TNovaParticleImages() override;
  bool WantsDefaultName() const override { return false; }
  TNovaImageList* GetFrameList() const override;
  bool Update() override;
  // Sets up the path from the current position.
  void InitPath();
  // Moves along the path by `ticks` simulation ticks.
  void Advance(int64_t ticks);
  bool Finished() const { return finished_; }
  void Detach() { emitter_ = nullptr; }

private:
  friend class TNovaParticle;
  bool RepeatOn() const override { return true; }
  bool LeftEmitter() const;

  TNovaParticle* emitter_ = nullptr;
  uint8_t kind_ = PM_NONE;
  std::array<double, 3> p_{};
  double base_x_ = 0, base_y_ = 0;
  double acc_ = 0, phase_ = 0, omega_ = 0, radius_ = 0, extra_ = 0, far_ = 0;
  double centre_x_ = 0, centre_y_ = 0, pos_x_ = 0, pos_y_ = 0, t_ = 0;
  int32_t age_ms_ = 0;
  bool finished_ = false;
};

// Where and how often an emitter driven by a film spawns, instead of the expressions of a
// creating command: at (x + random(spread x), y + random(spread y)), every interval base +
// random(interval spread) ms.
struct TParticleEmission {
  int32_t x = 0, y = 0, spread_x = 1, spread_y = 1;
  int32_t interval_base = 100, interval_spread = 1;
};

class TNovaParticle : public TNovaControl {
public:
  explicit TNovaParticle(TNovaBaseList* owner) : TNovaControl(owner) {}
  ~TNovaParticle() override;
  uint8_t GetKind() const override { return LT_PARTICLE; }
  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return idle_handler_; }
  bool Update() override;
  // The expressions of the creating command, evaluated at every spawn.
  void SetExpressions(const TNovaParser& appear_x, const TNovaParser& appear_y,
                      const TNovaParser& delay);
  void SetEmission(const TParticleEmission& e) { emission_ = e; }
  long double Param(int index) const { return params_[static_cast<size_t>(index)]; }
  void SetParam(int index, long double v) { params_[static_cast<size_t>(index)] = v; }
  TNovaImageList& Frames() { return frames_; }
  const std::vector<TNovaParticleImages*>& Particles() const { return particles_; }
  int32_t State() const { return state_; }
  void Forget(TNovaParticleImages* p);

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;

private:
  void SetSource(const std::string& source);
  void Step(int64_t ticks, bool spawn);
  void Spawn(int64_t remaining_ms);
  int32_t Evaluate(TNovaParser& e, int32_t fallback);
  void RemoveParticles();

  TNovaParser appear_x_, appear_y_, delay_;
  std::optional<TParticleEmission> emission_;
  std::string source_;
  TNovaImageList frames_;
  bool film_ = false;
  uint8_t kind_ = PM_NONE;
  std::array<long double, 3> params_{};
  int32_t alpha_ = 255, preroll_ms_ = 0, duration_ms_ = 0;
  uint8_t paused_ = 0;
  std::string idle_handler_;
  int32_t state_ = 0;
  int64_t clock_ms_ = 0, countdown_ms_ = 0;
  std::vector<TNovaParticleImages*> particles_;
  int64_t next_number_ = 0;
};

class TNovaFire : public TNovaControl {
public:
  explicit TNovaFire(TNovaBaseList* owner);
  uint8_t GetKind() const override { return LT_FIRE; }
  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return idle_handler_; }
  long double FloatZoomX() const { return zoom_x_; }
  long double FloatZoomY() const { return zoom_y_; }
  // A zoom that is not finite is ignored; a change sizes the flame buffer again.
  void SetFloatZoomX(long double z);
  void SetFloatZoomY(long double z);
  int32_t ZoomX() const override;
  int32_t ZoomY() const override;
  // The size follows the heat buffer and the zoom.
  void SetWidth(int32_t) override {}
  void SetHeight(int32_t) override {}
  bool Update() override;
  void Draw() override;
  // One step of the flame: heat rises, cooled through the table.
  void FireStep();
  const std::vector<uint8_t>& Heat() const { return heat_; }
  uint8_t Cooling(int i) const { return cooling_[static_cast<size_t>(i)]; }
  int32_t StepClock() const { return step_clock_ms_; }
  bool Ready() const { return ready_ != 0; }
  // The divisor of the cooling table for a power.
  static double Divisor(int32_t power);

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;

private:
  void BuildCooling(double divisor);
  void SetPower(int32_t p);
  void SetBuffer(int32_t w, int32_t h);
  void Resize();
  void Prepare();

  int32_t power_ = 1;
  int32_t buffer_w_ = 0, buffer_h_ = 0;
  long double zoom_x_ = 1.0L, zoom_y_ = 1.0L;
  std::vector<uint8_t> heat_;
  std::unique_ptr<TDIBX> picture_;
  std::array<uint8_t, 1024> cooling_{};
  std::vector<uint8_t> jitter_;
  std::vector<int32_t> row_wheel_, column_wheel_;
  int32_t row_cursor_ = 0, column_cursor_ = 0;
  uint8_t paused_ = 0;
  std::string idle_handler_;
  int32_t step_clock_ms_ = 0;
  uint8_t ready_ = 0;
};

class TNovaWave : public TNovaControl {
public:
  explicit TNovaWave(TNovaBaseList* owner) : TNovaControl(owner) {}
  uint8_t GetKind() const override { return LT_WAVE; }
  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return idle_handler_; }
  bool Update() override;
  void Draw() override;
  TCustomDIBX* GetTargetSurface() const override;
  // Changes inside reach the layer widened by the amplitude.
  void ContentChanged(const TSceneRect& r) override;
  int32_t Phase() const { return phase_; }
  // Horizontal shift of each row of the component.
  const std::vector<int32_t>& Offsets() const { return offsets_; }

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  void SyncKind(TSerializer& s) override;

private:
  // Recomputes the row offsets; true when one changed.
  bool ComputeOffsets();
  // The wave surface over the parent's target, made anew when the target changed.
  TDIBXWave* WaveSurface() const;

  int32_t amp_ = 10, wave_len_ = 200, period_ms_ = 2000;
  int32_t phase_ = 0, remainder_ = 0;
  std::vector<int32_t> offsets_;
  mutable std::unique_ptr<TDIBXWave> wave_;
  std::string idle_handler_;
  uint8_t paused_ = 0;
};

} // namespace nova
