// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/nova_error.h"
#include "platform/input_script.h"

namespace nova {
namespace {

TEST(InputScript, EveryEventRoundTripsThroughItsLine) {
  const std::string text = "# comment line\n"
                           "0 keydown 13\n"
                           "0 keyup 13\n"
                           "3 move 10 -4\n"
                           "3 mousedown right 10 20   # trailing comment\n"
                           "4 mouseup middle 10 20\n"
                           "5 wheel up\n"
                           "5 wheel down\n"
                           "6 dock switch\n"
                           "6 dock quit\n"
                           "7 deactivate\n"
                           "8 activate\n"
                           "9 close\n";
  const std::vector<TStampedEvent> events = ParseInputScript(text, "t.txt");
  ASSERT_EQ(events.size(), 12u);
  std::string again;
  for (const TStampedEvent& e : events)
    again += FormatInputEvent(e) + "\n";
  EXPECT_EQ(ParseInputScript(again, "again").size(), events.size());
  for (size_t i = 0; i < events.size(); ++i)
    EXPECT_EQ(FormatInputEvent(ParseInputScript(again, "again")[i]), FormatInputEvent(events[i]));
  EXPECT_EQ(events[3].event.button, TMouseButton::Right);
  EXPECT_EQ(events[2].event.y, -4);
}

// Typed text keeps what a line could otherwise break: blanks, '#', quotes, line breaks.
TEST(InputScript, TextAndCompositionKeepTheirText) {
  const struct {
    const char* line;
    TWindowEventKind kind;
    const char* text;
  } cases[] = {
      {"1 text やまだ", TWindowEventKind::TextInput, "やまだ"},
      {"1 text  a b # c ", TWindowEventKind::TextInput, "a b # c"},
      {"1 text \" lead\"", TWindowEventKind::TextInput, " lead"},
      {"1 text \"say \\\"hi\\\"\\n\"", TWindowEventKind::TextInput, "say \"hi\"\n"},
      {"2 compose かん", TWindowEventKind::Composition, "かん"},
      {"2 compose", TWindowEventKind::Composition, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const std::vector<TStampedEvent> events = ParseInputScript(c.line, "t.txt");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].event.kind, c.kind);
    EXPECT_EQ(events[0].event.text, c.text);
    const std::vector<TStampedEvent> again = ParseInputScript(FormatInputEvent(events[0]), "t");
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].event.text, c.text);
  }
  EXPECT_THROW(ParseInputScript("1 text\n", "t.txt"), ENovaError);
}

TEST(InputScript, EventsComeOutFrameByFrameInOrder) {
  TInputReplay replay(ParseInputScript("5 keydown 65\n2 keydown 66\n2 keyup 66\n", "t"));
  TWindowEvent e;
  EXPECT_FALSE(replay.Next(1, e));
  ASSERT_TRUE(replay.Next(2, e));
  EXPECT_EQ(e.kind, TWindowEventKind::KeyDown);
  EXPECT_EQ(e.key, 66);
  ASSERT_TRUE(replay.Next(2, e));
  EXPECT_EQ(e.kind, TWindowEventKind::KeyUp);
  EXPECT_FALSE(replay.Next(4, e));
  ASSERT_TRUE(replay.Next(5, e));
  EXPECT_EQ(e.key, 65);
  EXPECT_TRUE(replay.Finished());
}

TEST(InputScript, BadLinesNameTheFileAndLine) {
  const char* bad[] = {
      "x keydown 13", "1 keydown 256",     "1 keydown",   "1 jump",   "1 move 1",
      "1 wheel left", "1 mousedown x 1 2", "1 close now", "-1 close", "1 keydown 1e3",
  };
  for (const char* line : bad) {
    try {
      ParseInputScript(std::string("0 close\n") + line + "\n", "in.txt");
      ADD_FAILURE() << line;
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find("in.txt: line 2"), std::string::npos) << e.what();
    }
  }
}

} // namespace
} // namespace nova
