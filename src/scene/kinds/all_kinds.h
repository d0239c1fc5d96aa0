// SPDX-License-Identifier: MIT
// Every component class of the scene. The box is whole here; the other kinds keep their
// properties and common persistent form, and gain their drawing and updates with their own
// parts of the library.
#pragma once
#include <memory>

#include "scene/kinds/cinema.h"
#include "scene/kinds/custom_images.h"
#include "scene/kinds/gauge.h"
#include "scene/kinds/http.h"
#include "scene/kinds/label_kinds.h"
#include "scene/kinds/media_kinds.h"
#include "scene/kinds/nova_box.h"
#include "scene/kinds/stored_kind.h"
#include "scene/kinds/timer_kinds.h"
#include "scene/nova_object.h"

namespace nova {

class TNovaBaseList;

// Image holders (the picture kinds themselves are in custom_images.h).
class TNovaButton : public TStoredControl<LT_BUTTON, TNovaCustomImages> {
public:
  explicit TNovaButton(TNovaBaseList* owner) : TStoredControl(owner) {}
};
class TNovaPrevImages : public TStoredControl<LT_IMAGES, TNovaCustomImages> {
public:
  explicit TNovaPrevImages(TNovaBaseList* owner) : TStoredControl(owner) {}
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
NOVA_STORED_CONTROL(TNovaEdit, LT_EDIT);
NOVA_STORED_CONTROL(TNovaMemo, LT_MEMO);
NOVA_STORED_CONTROL(TNovaMes, LT_MES);
#undef NOVA_STORED_CONTROL

class TNovaSlider : public TStoredControl<LT_SLIDER> {
public:
  explicit TNovaSlider(TNovaBaseList* owner) : TStoredControl(owner) {}
};
class TNovaScrollbar : public TStoredControl<LT_SCROLLBAR, TNovaSlider> {
public:
  explicit TNovaScrollbar(TNovaBaseList* owner) : TStoredControl(owner) {}
};

// Selection components: they register with the scene for the right-click rule.
template <uint8_t Kind, class Base = TNovaControl>
class TSelectionKind : public TStoredControl<Kind, Base> {
public:
  explicit TSelectionKind(TNovaBaseList* owner);
};
class TNovaMapImage : public TSelectionKind<LT_MAPIMG> {
public:
  explicit TNovaMapImage(TNovaBaseList* owner) : TSelectionKind(owner) {}
};
class TNovaCustomListBox : public TNovaControl {
protected:
  using TNovaControl::TNovaControl;
};
class TNovaMenu : public TSelectionKind<LT_MENU, TNovaCustomListBox> {
public:
  explicit TNovaMenu(TNovaBaseList* owner) : TSelectionKind(owner) {}
};
class TNovaPrevMenu : public TSelectionKind<LT_PREVMENU> {
public:
  explicit TNovaPrevMenu(TNovaBaseList* owner) : TSelectionKind(owner) {}
};

} // namespace nova
