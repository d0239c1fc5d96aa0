// SPDX-License-Identifier: MIT
// A message box of a running title: text insert commands show their text, and a page that the
// next text replaces becomes history.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "e2e/title_runner.h"
#include "graphics/dibx.h"

namespace nova::e2e {
namespace {

TEST(MesE2e, InsertedTextIsDrawnAndReplacedPagesBecomeHistory) {
  TTestTitle title("mes_text");
  title.Add("nova.npb.txt", "project 116\ntitle \"test\"\nscene 320 240\nstart \"main.nsb\"\n");
  title.Page("main.nsb",
             "MesNew PR_NAME={\"m\"} PR_PARENT={\"\"} PR_LEFT={20} PR_TOP={20} PR_WIDTH={200} "
             "PR_HEIGHT={40} PR_FONTHEIGHT={16} PR_FONTCOLOR={$FFFFFF} PR_TEXTDELAY={0}\n"
             "TextIns text=\"WWWW\" delay=0 box={\"m\"} history={1} wait={0}\n"
             "Wait time={200}\n"
             "TextIns text=\"MMMMMM\" delay=0 box={\"m\"} history={1} wait={0}\n"
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

// Streams made by `text asm` carry the base wait given with --delay (50 ms by default), and
// `text disasm` recovers it, so its output assembles to the same bytes.
TEST(MesE2e, TextStreamsKeepTheirBaseWait) {
  TTestTitle title("text_asm");
  const std::string tool = Tool("NOVA_TOOL", "/apps/novatool/novatool");
  const std::filesystem::path stream = title.Root() / "stream.bin";
  const std::filesystem::path again = title.Root() / "again.bin";
  const std::filesystem::path listing = title.Root() / "listing.txt";
  const struct {
    const char* options;
    const char* listing;
  } cases[] = {
      {"", "ab<WAIT VALUE=200>c</WAIT>\n"},
      {"--delay 50", "ab<WAIT VALUE=200>c</WAIT>\n"},
      {"--delay 80", "ab<WAIT VALUE=200>c</WAIT>\n--delay 80\n"},
      {"--delay 0", "ab<WAIT VALUE=200>c</WAIT>\n--delay 0\n"},
  };
  for (const auto& c : cases) {
    const std::string asm_cmd =
        tool + " text asm 'ab<WAIT VALUE=200>c</WAIT>' -o " + stream.string() + " " + c.options;
    ASSERT_EQ(std::system(asm_cmd.c_str()), 0) << asm_cmd;
    const std::string disasm_cmd =
        tool + " text disasm " + stream.string() + " > " + listing.string();
    ASSERT_EQ(std::system(disasm_cmd.c_str()), 0) << disasm_cmd;
    const std::string text = title.Slurp(listing);
    EXPECT_EQ(text, c.listing) << c.options;
    const size_t end = text.find('\n');
    const std::string reasm = tool + " text asm '" + text.substr(0, end) + "' -o " +
                              again.string() + " " + text.substr(end + 1);
    ASSERT_EQ(std::system(reasm.c_str()), 0) << reasm;
    EXPECT_EQ(title.Slurp(again), title.Slurp(stream)) << c.options;
  }
  for (const char* bad : {"--delay -1", "--delay x", "--delay", "--bogus 1"}) {
    const std::string cmd =
        tool + " text asm 'a' -o " + stream.string() + " " + bad + " 2>/dev/null";
    EXPECT_NE(std::system(cmd.c_str()), 0) << bad;
  }
}

} // namespace
} // namespace nova::e2e
