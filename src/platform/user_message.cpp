// SPDX-License-Identifier: MIT
#include "platform/user_message.h"

#include "base/nova_error_english.h"
#include "platform/user_locale.h"

namespace nova {

TUserLanguage UserLanguage() {
  return UserLanguageIsJapanese() ? TUserLanguage::Japanese : TUserLanguage::Other;
}

std::string WithEnglishLine(const std::string& sjis_message, const std::string& english,
                            TUserLanguage language) {
  if (language == TUserLanguage::Japanese || english.empty())
    return sjis_message;
  return sjis_message + "\r\n" + english;
}

std::string UserMessage(const std::exception& e, TUserLanguage language) {
  return WithEnglishLine(e.what(), EnglishLineOf(e), language);
}

} // namespace nova
