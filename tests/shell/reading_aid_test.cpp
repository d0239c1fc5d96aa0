// SPDX-License-Identifier: MIT
#include "shell/reading_aid.h"

#include <gtest/gtest.h>

#include "base/sjis.h"
#include "platform/speech.h"
#include "platform/window.h"

namespace nova {
namespace {

struct TSpoken final : ISpeech {
  explicit TSpoken(std::vector<std::string>& said) : said(said) {}
  void Say(const std::string& utf8) override { said.push_back(utf8); }
  std::vector<std::string>& said;
};

std::string Slurp(std::FILE* f) {
  std::rewind(f);
  std::string out;
  for (int c; (c = std::fgetc(f)) != EOF;)
    out += static_cast<char>(c);
  return out;
}

TEST(ReadingAid, EveryPageGoesToTheLogTheClipboardAndTheSpeech) {
  std::FILE* log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  std::unique_ptr<IWindow> window = CreateHeadlessWindow({});
  std::vector<std::string> said;
  TReadingAid aid({log, window.get(), std::make_unique<TSpoken>(said)});
  EXPECT_TRUE(aid.Active());
  aid.PageRevealed(Utf8ToSjis("吾輩は猫である。\n名前はまだ無い。"));
  aid.PageRevealed(""); // nothing to read
  aid.PageRevealed("two");
  EXPECT_EQ(Slurp(log), "吾輩は猫である。 名前はまだ無い。\ntwo\n");
  EXPECT_EQ(window->ClipboardText(), "two");
  EXPECT_EQ(said, (std::vector<std::string>{"吾輩は猫である。\n名前はまだ無い。", "two"}));
  std::fclose(log);
  EXPECT_FALSE(TReadingAid({}).Active());
}

} // namespace
} // namespace nova
