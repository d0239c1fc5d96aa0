// SPDX-License-Identifier: MIT
#include "scene/timer_list.h"

#include <algorithm>

namespace nova {

void TTimerList::Queue(TNovaObject* component, std::string handler, std::vector<std::string> params,
                       uint8_t type) {
  items_.push_back(TTimerData{std::move(handler), component, type, 0, std::move(params)});
}

int TTimerList::FindWaiting(const TNovaObject* component, uint8_t type) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].component == component && items_[i].type == type)
      return static_cast<int>(i);
  return -1;
}

int TTimerList::NextWaiting() const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].level == 0)
      return static_cast<int>(i);
  return -1;
}

void TTimerList::RemoveLevel(int32_t level) {
  std::erase_if(items_, [level](const TTimerData& d) { return d.level == level; });
}

void TTimerList::RemoveLevelsUpTo(int32_t level) {
  std::erase_if(items_, [level](const TTimerData& d) { return d.level >= 1 && d.level <= level; });
}

void TTimerList::RemoveStarted() {
  std::erase_if(items_, [](const TTimerData& d) { return d.level != 0; });
}

void TTimerList::RemoveWaitingOf(const TNovaObject* component) {
  std::erase_if(items_, [component](const TTimerData& d) {
    return d.component == component && d.level == 0;
  });
}

void TTimerList::ForgetSender(const TNovaObject* component) {
  for (TTimerData& d : items_)
    if (d.component == component)
      d.component = nullptr;
}

} // namespace nova
