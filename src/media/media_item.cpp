// SPDX-License-Identifier: MIT
#include "media/media_item.h"

#include "media/media_manager.h"

namespace nova {

TDMediaItem::TDMediaItem(TMediaManager& manager) : manager_(&manager) { manager.Register(this); }

TDMediaItem::~TDMediaItem() {
  if (manager_)
    manager_->Unregister(this);
}

void TDMediaItem::Detach() {
  if (!manager_)
    return;
  ReleaseBackEnd();
  manager_->Unregister(this);
  manager_ = nullptr;
}

bool TDMediaItem::DeferPlay() {
  if (manager_ && manager_->Active())
    return false;
  suspended_ = true;
  return true;
}

} // namespace nova
