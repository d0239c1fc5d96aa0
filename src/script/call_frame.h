// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "expr/params.h"

namespace nova {

class TNovaObject;

// A suspended call: where to return to and what was current when it was pushed. The fields
// are those of the saved-game frame record.
struct TStack {
  std::string page_name; // empty: there was no page
  int32_t pc = 0;
  bool started = false;
  std::string result_var; // receives the called page's result; empty for events
  std::vector<std::string> args;
  TNovaObject* sender = nullptr; // none: pushed from the main script
  bool cont = true;
  // Running-state record of the suspended command, when it had one.
  std::optional<std::vector<uint8_t>> running_state;
  // The called page's result, of its result type; none for events.
  std::unique_ptr<TCustomParam> result;
};

// The call stack, last pushed on top, plus the spare frame that keeps the last popped one.
class TStackList {
public:
  int32_t Count() const { return static_cast<int32_t>(frames_.size()); }
  TStack& Top() { return frames_.back(); }
  TStack& At(int32_t i) { return frames_[static_cast<size_t>(i)]; }
  const TStack& At(int32_t i) const { return frames_[static_cast<size_t>(i)]; }
  void Push(TStack frame) { frames_.push_back(std::move(frame)); }
  // Raises "スタックエラー" when empty.
  TStack& Pop();
  void Erase(int32_t i) { frames_.erase(frames_.begin() + i); }
  void Clear() { frames_.clear(); }
  const TStack& Spare() const { return spare_; }
  // For the saved form, which describes the frames (bottom first) and the spare in place.
  TStack& Spare() { return spare_; }
  std::vector<TStack>& Frames() { return frames_; }

private:
  std::vector<TStack> frames_;
  TStack spare_;
};

} // namespace nova
