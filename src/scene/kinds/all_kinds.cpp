// SPDX-License-Identifier: MIT
#include "scene/kinds/all_kinds.h"

#include "scene/component_factory.h"
#include "scene/nova_base_list.h"

namespace nova {

TNovaObject* CreateByKind(TNovaBaseList* owner, uint8_t kind) {
  switch (kind & 0x7F) {
  case LT_BOX:
    return CreateComponent<TNovaBox>(owner);
  case LT_BUTTON:
    return CreateComponent<TNovaButton>(owner);
  case LT_CINEMA:
    return CreateComponent<TNovaCinema>(owner);
  case LT_EDIT:
    return CreateComponent<TNovaEdit>(owner);
  case LT_FIRE:
    return CreateComponent<TNovaFire>(owner);
  case LT_HTTP:
    return CreateComponent<TNovaHttp>(owner);
  case LT_IMAGES:
    return CreateComponent<TNovaImages>(owner);
  case LT_LABEL:
    return CreateComponent<TNovaLabel>(owner);
  case LT_MEMO:
    return CreateComponent<TNovaMemo>(owner);
  case LT_MENU:
    return CreateComponent<TNovaMenu>(owner);
  case LT_MES:
    return CreateComponent<TNovaMes>(owner);
  case LT_PARTICLE:
    return CreateComponent<TNovaParticle>(owner);
  case LT_TIMER:
    return CreateComponent<TNovaTimer>(owner);
  case LT_VIDEO:
    return CreateComponent<TNovaVideo>(owner);
  case LT_SOUND:
    return CreateComponent<TNovaSound>(owner);
  case LT_MAPIMG:
    return CreateComponent<TNovaMapImage>(owner);
  case LT_WAVE:
    return CreateComponent<TNovaWave>(owner);
  case LT_TILE:
    return CreateComponent<TNovaTile>(owner);
  case LT_SLIDER:
    return CreateComponent<TNovaSlider>(owner);
  case LT_SCROLLBAR:
    return CreateComponent<TNovaScrollbar>(owner);
  case LT_GAUGE:
    return CreateComponent<TNovaGauge>(owner);
  case LT_CGLABEL:
    return CreateComponent<TNovaCGLabel>(owner);
  case LT_PREVMENU:
    return CreateComponent<TNovaPrevMenu>(owner);
  case LT_PROPMOTION:
    return CreateComponent<TNovaPropMotion>(owner);
  case LT_CABINET:
    return CreateComponent<TNovaCabinet>(owner);
  default:
    return nullptr;
  }
}

TNovaObject* Adopt(TNovaBaseList* owner, TNovaObject* obj) {
  if (owner)
    owner->Adopt(obj);
  return obj;
}

} // namespace nova
