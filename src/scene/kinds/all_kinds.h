// SPDX-License-Identifier: MIT
// Every component class of the scene. The box is whole here; the other kinds keep their
// properties and common persistent form, and gain their drawing and updates with their own
// parts of the library.
#pragma once
#include <memory>

#include "scene/kinds/custom_images.h"
#include "scene/kinds/map_image.h"
#include "scene/kinds/nova_box.h"
#include "scene/kinds/nova_button.h"
#include "scene/kinds/nova_menu.h"
#include "scene/kinds/nova_mes.h"
#include "scene/kinds/prev_menu.h"
#include "scene/kinds/stored_kind.h"
#include "scene/nova_object.h"

namespace nova {

class TNovaBaseList;

// Non-visual kinds.
class TNovaTimer : public TStoredKind<LT_TIMER, TNovaComponent> {
public:
  explicit TNovaTimer(TNovaBaseList* owner) : TStoredKind(owner) {}
};
class TNovaSound : public TStoredKind<LT_SOUND, TNovaComponent> {
public:
  explicit TNovaSound(TNovaBaseList* owner) : TStoredKind(owner) {}
};
class TNovaPropMotion : public TStoredKind<LT_PROPMOTION, TNovaComponent> {
public:
  explicit TNovaPropMotion(TNovaBaseList* owner) : TStoredKind(owner) {}
};
class TNovaHttp : public TStoredKind<LT_HTTP, TNovaComponent> {
public:
  explicit TNovaHttp(TNovaBaseList* owner) : TStoredKind(owner) {}
};

// A container that is never visible and draws nothing; saved scenes park components in it.
class TNovaCabinet : public TStoredKind<LT_CABINET, TNovaControl> {
public:
  explicit TNovaCabinet(TNovaBaseList* owner) : TStoredKind(owner) {}
  bool IsCabinet() const override { return true; }
  void Draw() override {}
  TNovaControl* HitTest(int32_t, int32_t, uint32_t) override { return nullptr; }
  void Invalidate() override {}
};

// Image holders (the picture kinds themselves are in custom_images.h).
class TNovaVideo : public TStoredControl<LT_VIDEO, TNovaCustomImage> {
public:
  explicit TNovaVideo(TNovaBaseList* owner) : TStoredControl(owner) {}
};
class TNovaParticleImages : public TStoredControl<LT_NONE, TNovaCustomImages> {
public:
  explicit TNovaParticleImages(TNovaBaseList* owner) : TStoredControl(owner) {}
  bool WantsDefaultName() const override { return false; }
};

// Other visual kinds.
#define NOVA_STORED_CONTROL(Class, Kind)                                                           \
  class Class : public TStoredControl<Kind> {                                                      \
  public:                                                                                          \
    explicit Class(TNovaBaseList* owner) : TStoredControl(owner) {}                                \
  }
NOVA_STORED_CONTROL(TNovaFire, LT_FIRE);
NOVA_STORED_CONTROL(TNovaWave, LT_WAVE);
NOVA_STORED_CONTROL(TNovaParticle, LT_PARTICLE);
NOVA_STORED_CONTROL(TNovaLabel, LT_LABEL);
NOVA_STORED_CONTROL(TNovaCGLabel, LT_CGLABEL);
NOVA_STORED_CONTROL(TNovaEdit, LT_EDIT);
NOVA_STORED_CONTROL(TNovaMemo, LT_MEMO);
NOVA_STORED_CONTROL(TNovaGauge, LT_GAUGE);
#undef NOVA_STORED_CONTROL

class TNovaSlider : public TStoredControl<LT_SLIDER> {
public:
  explicit TNovaSlider(TNovaBaseList* owner) : TStoredControl(owner) {}
};
class TNovaScrollbar : public TStoredControl<LT_SCROLLBAR, TNovaSlider> {
public:
  explicit TNovaScrollbar(TNovaBaseList* owner) : TStoredControl(owner) {}
};

// A cinema shows a private scene of its own.
class TNovaCinema : public TStoredControl<LT_CINEMA> {
public:
  explicit TNovaCinema(TNovaBaseList* owner);
  ~TNovaCinema() override;
  TNovaBaseList& Scene() { return *scene_; }
  void SetWidth(int32_t v) override;
  void SetHeight(int32_t v) override;
  bool Update() override;
  void Draw() override;

private:
  std::unique_ptr<TNovaBaseList> scene_;
};

} // namespace nova
