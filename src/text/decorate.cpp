// SPDX-License-Identifier: MIT
#include "text/decorate.h"

#include <algorithm>

namespace nova {

TDecorate* TDecorateList::Find(const TDecorate& values) const {
  for (const auto& d : list_)
    if (d->SameValues(values))
      return d.get();
  return nullptr;
}

TDecorate* TDecorateList::Acquire(const TDecorate& values) {
  if (TDecorate* d = Find(values)) {
    ++d->use_count;
    return d;
  }
  auto d = std::make_unique<TDecorate>(values);
  d->use_count = 1;
  list_.push_back(std::move(d));
  return list_.back().get();
}

void TDecorateList::Release(TDecorate* d) {
  if (!d || --d->use_count > 0)
    return;
  std::erase_if(list_, [d](const auto& p) { return p.get() == d; });
}

TDecorate* TDecorateList::Change(TDecorate* current, const TDecorate& wanted) {
  TDecorate* found = Find(wanted);
  if (found && found == current)
    return current;
  if (found) {
    ++found->use_count;
    Release(current);
    return found;
  }
  if (current && current->use_count <= 1) {
    const int32_t uses = current->use_count;
    *current = wanted;
    current->use_count = uses;
    return current;
  }
  Release(current);
  return Acquire(wanted);
}

TDecorate* TDecorateList::AppendStored(const TDecorate& d) {
  list_.push_back(std::make_unique<TDecorate>(d));
  return list_.back().get();
}

int TDecorateList::IndexOf(const TDecorate* d) const {
  for (size_t i = 0; i < list_.size(); ++i)
    if (list_[i].get() == d)
      return static_cast<int>(i);
  return -1;
}

} // namespace nova
