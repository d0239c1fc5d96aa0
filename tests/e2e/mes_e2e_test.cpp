// SPDX-License-Identifier: MIT
// A message box of a running title: text insert commands show their text, and a page that the
// next text replaces becomes history.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "e2e/title_runner.h"
#include "graphics/dibx.h"

namespace nova::e2e {
namespace {

// The glyph-list stream of `markup`, as the text field of a TextIns line.
std::string TextField(TTestTitle& title, const std::string& markup) {
  const std::filesystem::path out = title.Root() / "stream.bin";
  const std::string cmd = Tool("NOVA_TOOL", "/apps/novatool/novatool") + " text asm '" + markup +
                          "' -o " + out.string();
  if (std::system(cmd.c_str()) != 0)
    return {};
  const std::string bytes = title.Slurp(out);
  std::string hex = "hex:";
  char digits[3];
  for (unsigned char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", c);
    hex += digits;
  }
  return hex;
}

TEST(MesE2e, InsertedTextIsDrawnAndReplacedPagesBecomeHistory) {
  TTestTitle title("mes_text");
  title.Add("nova.npb.txt", "project 116\ntitle \"test\"\nscene 320 240\nstart \"main.nsb\"\n");
  const std::string first = TextField(title, "WWWW");
  const std::string second = TextField(title, "MMMMMM");
  ASSERT_FALSE(first.empty());
  title.Page("main.nsb",
             "MesNew PR_NAME={\"m\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={20} PR_WIDTH={200} "
             "PR_HEIGHT={40} PR_FONTHEIGHT={16} PR_FONTCOLOR={$FFFFFF} PR_TEXTDELAY={0}\n"
             "TextIns text=" +
                 first +
                 " box={\"m\"} history={1} wait={0}\n"
                 "Wait time={200}\n"
                 "TextIns text=" +
                 second +
                 " box={\"m\"} history={1} wait={0}\n"
                 "VarNew \"h\" type=1 value={@HistoryCount}\n"
                 "VarNew \"n\" type=1 value={GetProp(\"m\", 45)}\n"
                 "Wait time={300}\n");
  const std::string shot = (title.Root() / "shot.png").string();
  std::string error;
  auto vars = title.Run(40, &error, "--screenshot " + shot);
  ASSERT_TRUE(error.empty()) << error;
  EXPECT_EQ(ValueOf(vars, "h"), "1") << "the first text's page is history";
  EXPECT_EQ(ValueOf(vars, "n"), "1") << "the box holds one page of the second text";

  std::ifstream file(shot, std::ios::binary);
  const std::vector<uint8_t> png((std::istreambuf_iterator<char>(file)),
                                 std::istreambuf_iterator<char>());
  TDIBX picture(1, 1, 32);
  picture.LoadFromStream(png, shot);
  ASSERT_EQ(picture.Width(), 320);
  auto lit = [&](int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        n += (picture.PixelToColor(picture.GetPixel(x, y)) & 0xFFFFFF) != 0 ? 1 : 0;
    return n;
  };
  // Six 16-pixel characters of the second text from x 20; the first text was only four wide.
  EXPECT_GT(lit(20, 20, 84, 60), 0);
  EXPECT_GT(lit(84, 20, 116, 60), 0) << "the second text replaced the first";
  EXPECT_EQ(lit(0, 0, 320, 20) + lit(0, 60, 320, 240), 0) << "nothing outside the box's rows";
}

} // namespace
} // namespace nova::e2e
