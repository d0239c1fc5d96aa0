// SPDX-License-Identifier: MIT
#pragma once
#include <memory>
#include <string_view>
#include <vector>

#include "script/command.h"
#include "script/mask.h"

namespace nova {

class TPage;

// The commands of one page, by index (a command's index is its address for jumps and calls).
class TComList {
public:
  explicit TComList(TPage* page) : page_(page) {}

  TPage* page() const { return page_; }
  // The mask table that component-creating commands of this list take their properties from.
  const TMaskTable& masks() const;

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  TCommand& operator[](int32_t index) const { return *items_[static_cast<size_t>(index)]; }
  void Add(std::unique_ptr<TCommand> command) { items_.push_back(std::move(command)); }
  void Clear() { items_.clear(); }

  // Index of the first command whose label equals `name` byte for byte, or -1.
  int32_t FindLabel(std::string_view name) const;

private:
  TPage* page_;
  std::vector<std::unique_ptr<TCommand>> items_;
};

} // namespace nova
