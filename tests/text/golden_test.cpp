// SPDX-License-Identifier: MIT
// Pictures of Japanese text from `novatool text render`, compared with reviewed references.
// NOVA_UPDATE_GOLDEN=1 (make golden) writes the references instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <png.h>

namespace nova {
namespace {

// RGB pixels of a PNG file, top row first; empty when it cannot be read.
struct Picture {
  png_uint_32 width = 0, height = 0;
  std::vector<uint8_t> rgb;
};
Picture ReadPng(const std::string& path) {
  Picture p;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str()))
    return p;
  image.format = PNG_FORMAT_RGB;
  p.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return {};
  }
  p.width = image.width;
  p.height = image.height;
  return p;
}

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s)
    out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct Golden {
  const char* name;
  const char* markup;
  const char* options;
};

TEST(TextGolden, RenderedPagesMatchReferences) {
  const char* tool = std::getenv("NOVA_TOOL");
  ASSERT_NE(tool, nullptr);
  const Golden cases[] = {
      {"text_ruby",
       "<RUBY VALUE=\"わがはい\">吾輩</RUBY>は<RUBY VALUE=\"ねこ\">猫</RUBY>である。"
       "名前はまだ無い。",
       "--width 300 --size 24"},
      {"text_outline_shadow",
       "<FONT COLOR=#FFFFFF BORDER=2 BCOLOR=#203080 SHADOW=2 SCOLOR=#000000>どこで生れたか"
       "とんと見当がつかぬ。</FONT><BR><FONT SIZE=32 COLOR=#FFE040 BORDER=1 BCOLOR=#800000>"
       "「何でも」</FONT><U>下線</U>と<S>取消線</S>",
       "--width 320 --size 24 --background '#6080A0'"},
      {"text_break_align",
       "<DIV ALIGN=CENTER>中央揃えの行<BR></DIV><DIV ALIGN=RIGHT>右へ。<BR></DIV>"
       "あいうえおかきくけこ「さしす」たちつてとなにぬねの。Hello, world! <B>太字</B><I>斜体</I>",
       "--width 240 --size 20 --level 1 --proportional"},
  };
  const std::string golden_dir = std::string(NOVA_SOURCE_DIR) + "/tests/golden/";
  const bool update = std::getenv("NOVA_UPDATE_GOLDEN") != nullptr;
  for (const Golden& g : cases) {
    const std::string out = testing::TempDir() + g.name + ".png";
    const std::string cmd = std::string(tool) + " text render " + Quote(g.markup) + " -o " + out +
                            " " + g.options + " > /dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const std::string ref = golden_dir + g.name + ".png";
    if (update) {
      std::filesystem::copy_file(out, ref, std::filesystem::copy_options::overwrite_existing);
      continue;
    }
    const Picture got = ReadPng(out), want = ReadPng(ref);
    ASSERT_FALSE(want.rgb.empty()) << ref;
    EXPECT_EQ(got.width, want.width) << g.name;
    EXPECT_EQ(got.height, want.height) << g.name;
    EXPECT_TRUE(got.rgb == want.rgb) << g.name;
  }
}

} // namespace
} // namespace nova
