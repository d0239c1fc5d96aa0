// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "base/nova_error_english.h"
#include "base/sjis.h"
#include "platform/user_message.h"

namespace nova {
namespace {

// A title-stopping message keeps the system's Japanese text exactly; readers of other languages
// get one English line after it, and only when there is one.
TEST(UserMessage, AddsTheEnglishLineForUsersWhoDoNotReadJapanese) {
  const std::string missing = Utf8ToSjis("a.nsb:ファイルがありません");
  const std::string damaged = Utf8ToSjis("f.nft\r\nフォントファイルが破壊されています");
  const struct {
    const char* what;
    ENovaErrorWithEnglish error;
    TUserLanguage language;
    const char* shown; // UTF-8
  } cases[] = {
      {"missing file, English reader",
       ENovaErrorWithEnglish(missing,
                             "The file a.nsb is in neither the title's archives nor its folder."),
       TUserLanguage::Other,
       "a.nsb:ファイルがありません\r\nThe file a.nsb is in neither the title's archives nor its "
       "folder."},
      {"missing file, Japanese reader",
       ENovaErrorWithEnglish(missing, "The file a.nsb is missing."), TUserLanguage::Japanese,
       "a.nsb:ファイルがありません"},
      {"two-line system text", ENovaErrorWithEnglish(damaged, "The packed font f.nft is damaged."),
       TUserLanguage::Other,
       "f.nft\r\nフォントファイルが破壊されています\r\nThe packed font f.nft is damaged."},
      {"an empty line adds nothing", ENovaErrorWithEnglish(missing, ""), TUserLanguage::Other,
       "a.nsb:ファイルがありません"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SjisToUtf8(UserMessage(c.error, c.language)), c.shown);
  }
  // A failure without a line (an English message already) stands as it is.
  EXPECT_EQ(UserMessage(ENovaError("page.nsb: truncated record"), TUserLanguage::Other),
            "page.nsb: truncated record");
  EXPECT_EQ(UserMessage(std::runtime_error("plain"), TUserLanguage::Other), "plain");
}

// The decision follows the C library's order: LC_ALL, then LC_MESSAGES, then LANG.
TEST(UserMessage, LanguageComesFromTheLocaleVariables) {
  const struct {
    const char* lc_all;
    const char* lc_messages;
    const char* lang;
    TUserLanguage language;
  } cases[] = {
      {"", "", "ja_JP.UTF-8", TUserLanguage::Japanese},
      {"", "", "en_US.UTF-8", TUserLanguage::Other},
      {"C", "", "ja_JP.UTF-8", TUserLanguage::Other},
      {"", "ja_JP.eucJP", "C", TUserLanguage::Japanese},
      {"", "", "", TUserLanguage::Other},
  };
  std::vector<std::pair<const char*, std::optional<std::string>>> saved;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
  }
  const ENovaErrorWithEnglish error(Utf8ToSjis("警告"), "Warning.");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.lc_all) + "|" + c.lc_messages + "|" + c.lang);
    setenv("LC_ALL", c.lc_all, 1);
    setenv("LC_MESSAGES", c.lc_messages, 1);
    setenv("LANG", c.lang, 1);
    EXPECT_EQ(UserLanguage(), c.language);
    EXPECT_EQ(UserMessage(error) != error.what(), c.language == TUserLanguage::Other);
  }
  for (const auto& [name, value] : saved) {
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
}

} // namespace
} // namespace nova
