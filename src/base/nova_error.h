// SPDX-License-Identifier: MIT
#pragma once
#include <stdexcept>
#include <string>

namespace nova {

// The one failure type of the player. The message is Shift-JIS: either the system's own
// Japanese text, exactly, or a plain English text naming the file, record and fault.
class ENovaError : public std::runtime_error {
 public:
  explicit ENovaError(const std::string& sjis_message) : std::runtime_error(sjis_message) {}
};

}  // namespace nova
