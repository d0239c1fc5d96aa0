// SPDX-License-Identifier: MIT
// The scene's event queue: component events waiting for, or running as, script calls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace nova {

class TNovaObject;

// One queued component event. `level` is 0 while waiting and the call depth once the call
// manager has started it.
struct TTimerData {
  std::string handler;              // "page" or "page:label"
  TNovaObject* component = nullptr; // the sender; null once the sender is gone
  uint8_t type = 0;                 // PR_ id of the handler property
  int32_t level = 0;
  std::vector<std::string> params; // call parameters
};

// Records stay in the order they were queued. The call manager takes the first waiting record
// (NextWaiting), marks it with its call depth (Start) and removes the records of a depth when it
// returns from it (RemoveLevel). A destroyed sender drops its waiting records and leaves the
// started ones without sender (ForgetSender), so no record ever points at a freed component.
class TTimerList {
public:
  void Queue(TNovaObject* component, std::string handler, std::vector<std::string> params,
             uint8_t type);
  // First record of that component and type at any level, -1 when none: the once rule.
  int FindWaiting(const TNovaObject* component, uint8_t type) const;
  bool Has(const TNovaObject* component, uint8_t type) const {
    return FindWaiting(component, type) >= 0;
  }
  // Index of the first record with level 0, -1 when none.
  int NextWaiting() const;
  void Start(int index, int32_t level) { items_[static_cast<size_t>(index)].level = level; }
  void RemoveLevel(int32_t level);
  // Every record of a level from 1 up to `level` (a page started afresh).
  void RemoveLevelsUpTo(int32_t level);
  void RemoveStarted();
  void RemoveWaitingOf(const TNovaObject* component);
  void ForgetSender(const TNovaObject* component);
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  const TTimerData& At(int index) const { return items_[static_cast<size_t>(index)]; }
  TTimerData& At(int index) { return items_[static_cast<size_t>(index)]; }
  // Appends a record as loaded from save data (any level).
  void Append(TTimerData record) { items_.push_back(std::move(record)); }

private:
  std::vector<TTimerData> items_;
};

} // namespace nova
