// SPDX-License-Identifier: MIT
#include "scene/prop_rows.h"

#include "scene/nova_control.h"

namespace nova {

void ApplyPropEffect(TNovaObject& obj, TPropEffect effect) {
  if (effect == peNone)
    return;
  if (TNovaControl* c = obj.AsControl())
    c->Invalidate();
}

} // namespace nova
