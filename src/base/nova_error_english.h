// SPDX-License-Identifier: MIT
#pragma once
#include <exception>
#include <string>

#include "base/nova_error.h"

namespace nova {

// A failure with the system's own text that stops a title, and one English line naming the file
// or entry and what is wrong, for users who do not read Japanese. The message stays the system's
// text exactly; platform/user_message.h joins the two where a person sees them.
class ENovaErrorWithEnglish : public ENovaError {
public:
  ENovaErrorWithEnglish(const std::string& sjis_message, std::string english)
      : ENovaError(sjis_message), english_(std::move(english)) {}
  const std::string& english() const { return english_; }

private:
  std::string english_;
};

// The English line a failure carries; empty when it has none.
inline std::string EnglishLineOf(const std::exception& e) {
  const auto* with = dynamic_cast<const ENovaErrorWithEnglish*>(&e);
  return with ? with->english() : std::string();
}

} // namespace nova
