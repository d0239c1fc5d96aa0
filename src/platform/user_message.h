// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <exception>
#include <string>

namespace nova {

enum class TUserLanguage : uint8_t { Japanese, Other };

// The user's language as LC_ALL, LC_MESSAGES or LANG name it (see user_locale.h).
TUserLanguage UserLanguage();

// A title-stopping message of the system as its user reads it: the system's own text exactly,
// and for users who do not read Japanese one English line after it naming the file or entry and
// what is wrong. Every message box and console report of such a failure goes through here.
std::string WithEnglishLine(const std::string& sjis_message, const std::string& english,
                            TUserLanguage language = UserLanguage());
// The same for a failure: the English line of an ENovaErrorWithEnglish is added; other texts
// stand as they are.
std::string UserMessage(const std::exception& e, TUserLanguage language = UserLanguage());

} // namespace nova
