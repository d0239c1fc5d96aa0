// SPDX-License-Identifier: MIT
#include "platform/user_locale.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace nova {

bool UserLanguageIsJapanese() {
  // The first variable that is set decides, as for the C library's message language.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value)
      return std::strncmp(value, "ja", 2) == 0;
  }
  return false;
}

} // namespace nova
