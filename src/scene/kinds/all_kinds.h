// SPDX-License-Identifier: MIT
// Every component class of the scene. Kinds still without their own file keep their
// properties as stored values and the common persistent form.
#pragma once
#include <memory>

#include "scene/kinds/cinema.h"
#include "scene/kinds/custom_images.h"
#include "scene/kinds/edit.h"
#include "scene/kinds/gauge.h"
#include "scene/kinds/http.h"
#include "scene/kinds/label_kinds.h"
#include "scene/kinds/media_kinds.h"
#include "scene/kinds/nova_box.h"
#include "scene/kinds/particle_kinds.h"
#include "scene/kinds/slider.h"
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

// Other visual kinds.
#define NOVA_STORED_CONTROL(Class, Kind)                                                           \
  class Class : public TStoredControl<Kind> {                                                      \
  public:                                                                                          \
    explicit Class(TNovaBaseList* owner) : TStoredControl(owner) {}                                \
  }
NOVA_STORED_CONTROL(TNovaMes, LT_MES);
#undef NOVA_STORED_CONTROL

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
