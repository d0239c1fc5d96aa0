// SPDX-License-Identifier: MIT
#include "media/media_manager.h"

#include <algorithm>

namespace nova {

TMediaManager::~TMediaManager() { DetachAll(); }

void TMediaManager::DetachAll() {
  while (!items_.empty())
    items_.back()->Detach();
}

void TMediaManager::Register(TDMediaItem* item) { items_.push_back(item); }

void TMediaManager::Unregister(TDMediaItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
}

void TMediaManager::Update() {
  for (TDMediaItem* item : items_)
    item->Refresh();
}

void TMediaManager::Suspend() {
  if (!active_ || suspended_)
    return;
  suspended_ = true;
  for (TDMediaItem* item : items_) {
    const bool sounding = item->IsPlaying() && !item->IsPaused() && !item->IsEnd();
    if (sounding)
      item->Pause();
    item->SetSuspended(sounding);
  }
}

void TMediaManager::Resume() {
  if (!active_ || !suspended_)
    return;
  suspended_ = false;
  for (TDMediaItem* item : items_) {
    if (!item->Suspended())
      continue;
    item->SetSuspended(false);
    item->Play();
  }
}

void TMediaManager::SetActive(bool on) {
  if (on == active_)
    return;
  if (on) {
    active_ = true;
    Resume();
  } else {
    Suspend();
    active_ = false;
  }
}

} // namespace nova
