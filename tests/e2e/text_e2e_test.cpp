// SPDX-License-Identifier: MIT
// The text stack as a running title sees it: the title's packed fonts, the font list and the
// project's title through system variables, and the dithering switch.
#include <gtest/gtest.h>

#include "e2e/title_runner.h"

namespace nova::e2e {
namespace {

TEST(TextE2e, PackedFontOfTheArchiveJoinsTheFontListAndTitleReads) {
  TTestTitle title("text_fonts");
  const std::string tool = Tool("NOVA_TOOL", "/apps/novatool/novatool");
  const std::string pack = tool + " text pack IPAGothic 16 'AB' -o " +
                           (title.Root() / "src" / "face.nft").string() + " --as NovaPackedFace";
  ASSERT_EQ(std::system(pack.c_str()), 0);
  title.Page("main.nsb", "VarNew \"packed\" type=1 value={Pos(\"NovaPackedFace\", @Fonts)}\n"
                         "VarNew \"t\" type=4 value={@Title}\n"
                         "Calc {@CGDither = TRUE}\n"
                         "VarNew \"d\" type=3 value={@CGDither}\n");
  std::string error;
  auto vars = title.Run(3, &error);
  ASSERT_TRUE(error.empty()) << error;
  EXPECT_NE(ValueOf(vars, "packed"), "0");
  EXPECT_NE(ValueOf(vars, "packed"), "");
  EXPECT_EQ(ValueOf(vars, "t"), "\"test\"");
  EXPECT_EQ(ValueOf(vars, "d"), "TRUE");
}

} // namespace
} // namespace nova::e2e
