// SPDX-License-Identifier: MIT
// The update step: component updates, idle events, removal of finished and deleted components.
#include "scene/nova_base_list.h"

namespace nova {

void TNovaBaseList::UpdateStep() {
  for (auto& layer : layers_)
    layer->Update();
  for (size_t i = 0; i < objects_.size();) {
    TNovaObject* obj = objects_[i];
    const std::string& idle = obj->IdleHandler();
    if (!idle.empty() && !obj->IsInCabinet() && !obj->EventsSuppressed() &&
        !events_.Has(obj, PR_ONIDLE))
      events_.Queue(obj, idle, {}, PR_ONIDLE);
    if (obj->IsPaused() || IsPendingDelete(obj) || obj->IsInCabinet() || !obj->Update()) {
      ++i;
      continue;
    }
    // Finished: it unregisters, so the same index is looked at again.
    if (IsRegistered(obj))
      Destroy(obj);
    if (i > objects_.size())
      i = objects_.size();
  }
  std::vector<TNovaObject*> pending;
  pending.swap(pending_);
  for (TNovaObject* obj : pending)
    if (IsRegistered(obj))
      Destroy(obj);
  pending_.clear();
}

} // namespace nova
