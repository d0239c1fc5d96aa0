// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

namespace nova {

// A notice that lasts a while on a millisecond clock that may wrap.
class TCaptionNotice {
public:
  void Show(std::string text, uint32_t now_ms, uint32_t duration_ms) {
    text_ = std::move(text);
    shown_at_ms_ = now_ms;
    duration_ms_ = duration_ms;
  }
  // The text while it lasts; empty once it has run out.
  const std::string& Current(uint32_t now_ms) {
    if (!text_.empty() && now_ms - shown_at_ms_ >= duration_ms_)
      text_.clear();
    return text_;
  }

private:
  std::string text_;
  uint32_t shown_at_ms_ = 0;
  uint32_t duration_ms_ = 0;
};

} // namespace nova
