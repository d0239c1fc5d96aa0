// SPDX-License-Identifier: MIT
// Making components: registered with their scene and given a default name.
#pragma once
#include <memory>
#include <utility>

#include "scene/nova_base_list.h"

namespace nova {

// Completes the creation of a freshly constructed component: default name, registration, and
// for a control the refocus request when the scene has no focus. Answers the component.
TNovaObject* Adopt(TNovaBaseList* owner, TNovaObject* obj);

template <class T, class... Args> T* CreateComponent(TNovaBaseList* owner, Args&&... args) {
  auto* obj = new T(owner, std::forward<Args>(args)...);
  Adopt(owner, obj);
  return obj;
}

// The plain class of a kind byte (low 7 bits), registered with the owner; null for the kinds
// without a class (0, 1, 10) and unknown kinds.
TNovaObject* CreateByKind(TNovaBaseList* owner, uint8_t kind);

} // namespace nova
