// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nova {

// One formatting combination, shared by every glyph that uses it.
struct TDecorate {
  int32_t use_count = 0;
  int32_t color = -1;
  int32_t border_color = -1;
  int32_t shadow_color = -1;
  int32_t size = 0;
  uint8_t style = 0;
  std::string font_name;
  bool no_break = false;
  std::string ruby;
  int32_t border = 0;
  int32_t shadow = 0;

  // Equal in all ten value fields (the use count does not count).
  bool SameValues(const TDecorate& o) const {
    return color == o.color && border_color == o.border_color && shadow_color == o.shadow_color &&
           size == o.size && style == o.style && font_name == o.font_name &&
           no_break == o.no_break && ruby == o.ruby && border == o.border && shadow == o.shadow;
  }
};

// The decoration table of one glyph list: records are interned and counted.
class TDecorateList {
public:
  // A record equal to `values` with its use count raised, appended when there is none.
  TDecorate* Acquire(const TDecorate& values);
  void Release(TDecorate* d);
  // Gives a glyph holding `current` the combination `wanted`; returns the record to hold.
  TDecorate* Change(TDecorate* current, const TDecorate& wanted);
  // Appends a record as stored (loading); its use count is taken as given.
  TDecorate* AppendStored(const TDecorate& d);
  int IndexOf(const TDecorate* d) const;
  TDecorate* At(size_t index) const { return index < list_.size() ? list_[index].get() : nullptr; }
  size_t size() const { return list_.size(); }
  void Clear() { list_.clear(); }

private:
  TDecorate* Find(const TDecorate& values) const;
  std::vector<std::unique_ptr<TDecorate>> list_;
};

} // namespace nova
