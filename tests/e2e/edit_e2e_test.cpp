// SPDX-License-Identifier: MIT
// Name entry in an edit field, driven headless by replayed clicks, keys and typed text.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "e2e/title_runner.h"

namespace nova::e2e {
namespace {

// A page with one edit field "ed" whose text is copied into `t` every frame.
constexpr const char* kFieldPage =
    "VarNew \"t\" type=4 value={\"\"}\n"
    "EditNew PR_NAME={\"ed\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={20} PR_WIDTH={200} "
    "PR_HEIGHT={24}\n"
    "Calc {SetProp(\"ed\", 47, TRUE)}\n"
    "Label \"top\"\n"
    "Calc {t = GetProp(\"ed\", 50)}\n"
    "Wait time={16}\n"
    "Jump page=\"main.nsb\" target=@top cond={TRUE}\n";

// Runs `frames` frames replaying `input` (lines of the --input file) and answers the variables.
std::map<std::string, std::string> RunWithInput(TTestTitle& title, int frames,
                                                const std::string& input) {
  std::ofstream(title.Root() / "in.txt") << input;
  std::string error;
  auto vars = title.Run(frames, &error, "--input " + (title.Root() / "in.txt").string());
  EXPECT_TRUE(error.empty()) << error;
  return vars;
}

// A click focuses the field; committed text goes in at the caret, a composition shows but is
// not text until committed, Backspace edits, and every key reaches the field's handler (Enter
// inserts nothing). Characters without a Shift-JIS form are dropped.
TEST(EditE2e, NameEntryTakesTypedAndComposedText) {
  TTestTitle title("edit_name");
  title.Page("main.nsb",
             "VarNew \"t\" type=4 value={\"\"}\n"
             "VarNew \"k\" type=4 value={\"\"}\n"
             "EditNew PR_NAME={\"ed\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={20} PR_WIDTH={200} "
             "PR_HEIGHT={24} PR_ONNOTIFY={\"key.nsb\"}\n"
             "Calc {SetProp(\"ed\", 47, TRUE)}\n"
             "Label \"top\"\n"
             "Calc {t = GetProp(\"ed\", 50)}\n"
             "Wait time={16}\n"
             "Jump page=\"main.nsb\" target=@top cond={TRUE}\n");
  title.Page("key.nsb", "Calc {k = k ++ @ParamStr[0] ++ \",\"}\n");
  const auto vars = RunWithInput(title, 16,
                                 "2 mousedown left 30 30\n"
                                 "3 mouseup left 30 30\n"
                                 "4 text 山田\n"
                                 "5 compose たろ\n"
                                 "6 compose 太郎\n"
                                 "7 text 太郎😀\n"
                                 "8 keydown 8\n"
                                 "9 keyup 8\n"
                                 "10 keydown 13\n"
                                 "11 text 丸\n");
  EXPECT_EQ(ValueOf(vars, "t"), "\"山田太丸\"");
  EXPECT_EQ(ValueOf(vars, "k"), "\"8,13,\"");
}

// A click puts the caret where it lands; Ctrl+A, Ctrl+C and Ctrl+V copy the text and paste it
// at the end.
TEST(EditE2e, ClicksPlaceTheCaretAndTheClipboardCopiesAndPastes) {
  TTestTitle title("edit_clipboard");
  title.Page("main.nsb", kFieldPage);
  const auto vars = RunWithInput(title, 20,
                                 "2 mousedown left 200 30\n"
                                 "3 mouseup left 200 30\n"
                                 "4 text abc\n"
                                 "5 mousedown left 21 30\n"
                                 "6 mouseup left 21 30\n"
                                 "7 text x\n"
                                 "8 keydown 17\n"
                                 "9 keydown 65\n"
                                 "10 keydown 67\n"
                                 "11 keyup 17\n"
                                 "12 keydown 35\n"
                                 "13 keydown 17\n"
                                 "14 keydown 86\n"
                                 "15 keyup 17\n");
  EXPECT_EQ(ValueOf(vars, "t"), "\"xabcxabc\"");
}

// Dragging with the left button held selects from the press to the pointer, and only until the
// release; a double click selects the word under it. Typing replaces the selection.
TEST(EditE2e, DragAndDoubleClickSelect) {
  TTestTitle title("edit_drag");
  title.Page("main.nsb", kFieldPage);
  const auto vars = RunWithInput(title, 22,
                                 "2 mousedown left 30 30\n"
                                 "3 mouseup left 30 30\n"
                                 "4 text hello world\n"
                                 "5 mousedown left 21 30\n"
                                 "6 move 150 30\n"
                                 "7 move 400 30\n" // past the field: to the end
                                 "8 mouseup left 400 30\n"
                                 "9 move 21 30\n" // released: no longer selects
                                 "10 text ab-cd\n"
                                 "13 mousedown left 40 30\n" // over "cd"
                                 "14 mouseup left 40 30\n"
                                 "15 mousedown left 40 30\n"
                                 "16 mouseup left 40 30\n"
                                 "17 text Y\n");
  EXPECT_EQ(ValueOf(vars, "t"), "\"ab-Y\"");
}

// A field whose input method is closed takes only what the keyboard types directly and shows
// no composition; SetImeOpened opens it, and GetImeOpened tells the state.
TEST(EditE2e, AClosedInputMethodTakesOnlyDirectTyping) {
  TTestTitle title("edit_ime");
  title.Page("main.nsb",
             "VarNew \"t\" type=4 value={\"\"}\n"
             "VarNew \"before\" type=1 value={5}\n"
             "VarNew \"after\" type=1 value={5}\n"
             "EditNew PR_NAME={\"ed\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={20} PR_WIDTH={200} "
             "PR_HEIGHT={24} PR_IMEMODE={1} PR_ONNOTIFY={\"key.nsb\"}\n"
             "Calc {SetProp(\"ed\", 47, TRUE)}\n"
             "Calc {before = GetImeOpened(\"ed\")}\n"
             "Label \"top\"\n"
             "Calc {t = GetProp(\"ed\", 50)}\n"
             "Calc {after = GetImeOpened(\"ed\")}\n"
             "Wait time={16}\n"
             "Jump page=\"main.nsb\" target=@top cond={TRUE}\n");
  title.Page("key.nsb", "Calc {SetImeOpened(\"ed\", TRUE)}\n");
  const auto vars = RunWithInput(title, 14,
                                 "2 mousedown left 30 30\n"
                                 "3 mouseup left 30 30\n"
                                 "4 compose やま\n"
                                 "5 text 山田abc\n"
                                 "6 keydown 16\n" // the handler opens it
                                 "7 keyup 16\n"
                                 "9 compose た\n"
                                 "10 text 太\n");
  EXPECT_EQ(ValueOf(vars, "t"), "\"abc太\"");
  EXPECT_EQ(ValueOf(vars, "before"), "0");
  EXPECT_NE(ValueOf(vars, "after"), "0");
}

// Without a click nothing has the focus: typed text and keys stay the scene's.
TEST(EditE2e, TextGoesNowhereWithoutTheFocus) {
  TTestTitle title("edit_unfocused");
  title.Page("main.nsb", kFieldPage);
  const auto vars = RunWithInput(title, 6, "2 mousedown left 300 300\n3 text abc\n");
  EXPECT_EQ(ValueOf(vars, "t"), "\"\"");
}

} // namespace
} // namespace nova::e2e
