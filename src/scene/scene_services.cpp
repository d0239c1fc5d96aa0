// SPDX-License-Identifier: MIT
#include "scene/scene_services.h"

#include "scene/nova_base_list.h"

namespace nova {

const TSceneServices& ServicesOf(const TNovaBaseList* owner) {
  static const TSceneServices kNone;
  return owner ? owner->Services() : kNone;
}

} // namespace nova
