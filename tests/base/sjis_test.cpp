// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/sjis.h"

using namespace nova;

// "ア" is 0x83 0x41: its trail byte is the ASCII code of 'A' and must never be folded.
const std::string kKatakanaA = "\x83\x41";

TEST(Sjis, CharactersCountDoubleBytesOnce) {
  const std::string s = "a" + kKatakanaA + "b";
  EXPECT_EQ(CharCount(s), 3u);
  EXPECT_EQ(CharToByte(s, 2), 3u);
  EXPECT_EQ(CharCodeAt(s, 1), 0x8341);
  EXPECT_TRUE(IsTrailByteAt(s, 2));
  EXPECT_FALSE(IsTrailByteAt(s, 3));
  EXPECT_EQ(CharCount("x\x83"), 2u);  // lone lead byte at the end
}

TEST(Sjis, CaseFoldingLeavesDoubleByteCharactersAlone) {
  EXPECT_EQ(LowerCaseJ("AbC" + kKatakanaA), "abc" + kKatakanaA);
  EXPECT_EQ(UpperCaseJ("x\x83\x61"), "X\x83\x61");
  EXPECT_TRUE(SameTextJ("Game.DAT", "game.dat"));
  EXPECT_FALSE(SameTextJ(kKatakanaA, "\x83\x61"));
  EXPECT_LT(CompareTextJ("abc", "ABD"), 0);
  EXPECT_GT(CompareTextJ("abcd", "ABC"), 0);
}

TEST(Sjis, ConvertsToAndFromUtf8) {
  const std::string utf8 = "MIDIマッパー";
  const std::string sjis = Utf8ToSjis(utf8);
  EXPECT_EQ(sjis, "MIDI\x83\x7d\x83\x62\x83\x70\x81\x5b");
  EXPECT_EQ(SjisToUtf8(sjis), utf8);
  EXPECT_EQ(SjisToUtf8("a\x83"), "a?");  // a truncated character is replaced, not dropped
}
