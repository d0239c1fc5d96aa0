// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "shell/font_install.h"
#include "shell/test_files.h"
#include "shell/text_binding.h"
#include "text/font_pixel_manager.h"
#include "text/pixel_font_manager.h"

namespace nova {
namespace {

using test::ReadAll;
using test::TestDir;

TEST(FontInstall, CopiesRootFontsIntoWorkFilesKeptUntilTheEnd) {
  const auto dir = TestDir("fonts");
  const auto title = dir / "title";
  const auto temp = dir / "temp";
  std::filesystem::create_directories(title / "sub");
  std::filesystem::create_directories(temp);
  std::ofstream(title / "a.nft") << "font A";
  std::ofstream(title / "B.NFT") << "font B";
  std::ofstream(title / "readme.txt") << "no";
  std::ofstream(title / "sub" / "c.nft") << "not in the root";
  std::filesystem::permissions(title / "a.nft", std::filesystem::perms::owner_read);

  std::vector<std::string> offered;
  std::filesystem::path kept;
  {
    TFontInstaller installer(temp, [&](const std::filesystem::path& file, const std::string& name) {
      offered.push_back(ReadAll(file) + " as " + name);
      EXPECT_EQ(file.filename().string().rfind("font", 0), 0u);
      return offered.size() == 1; // the first is a font, the second is refused
    });
    TFolderFontSource source(title);
    installer.Install(source);
    ASSERT_EQ(installer.Installed().size(), 1u);
    kept = installer.Installed()[0];
    EXPECT_TRUE(std::filesystem::exists(kept));
    // Only the accepted file is left in the temporary folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp), {}), 1);
  }
  std::sort(offered.begin(), offered.end());
  EXPECT_EQ(offered, (std::vector<std::string>{"font A as a.nft", "font B as B.NFT"}));
  EXPECT_FALSE(std::filesystem::exists(kept)); // deleted at the end
  // Listing made the read-only file writable again.
  EXPECT_NE(std::filesystem::status(title / "a.nft").permissions() &
                std::filesystem::perms::owner_write,
            std::filesystem::perms::none);
}

TEST(FontInstall, NoWorkFileIsAnError) {
  const auto dir = TestDir("fonts_fail");
  std::ofstream(dir / "a.nft") << "x";
  TFontInstaller installer(dir / "missing",
                           [](const std::filesystem::path&, const std::string&) { return true; });
  TFolderFontSource source(dir);
  try {
    installer.Install(source);
    FAIL();
  } catch (const ENovaError& e) {
    EXPECT_EQ(SjisToUtf8(e.what()), "作業用ファイルが作成できません");
  }
}

// The title's fonts reach the packed-font manager: each face once, and a damaged file is an
// error that names it.
TEST(FontInstall, TitleFontsReachThePackedFontManager) {
  ResetFontPixels();
  const auto dir = TestDir("packed_fonts");
  const auto title = dir / "title";
  const auto temp = dir / "temp";
  std::filesystem::create_directories(title);
  std::filesystem::create_directories(temp);
  auto write = [&](const char* name, const std::vector<uint8_t>& bytes) {
    std::ofstream(title / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  };
  PackedFontContent font;
  font.face_name = "TitleFace";
  font.size = 16;
  font.metrics.ascent = 14;
  PackedFontGlyph glyph;
  glyph.code = 'Z';
  glyph.record = {2, 2, 0, 14, 4, 0, 0};
  glyph.coverage = {255, 255, 255, 255};
  font.glyphs.push_back(glyph);
  write("a.NFT", WritePackedFont(font));
  write("notes.txt", {'x'});
  {
    TFontInstaller installer(temp, OfferPackedFont);
    TFolderFontSource source(title);
    installer.Install(source);
    EXPECT_EQ(installer.Installed().size(), 1u);
    EXPECT_NE(PixelFonts().Find("TitleFace", 16, 0), nullptr);
    installer.Install(source);
    EXPECT_EQ(installer.Installed().size(), 1u) << "a face already registered is refused";
    // A damaged font is named as the title names it, not by its work copy.
    write("b.nft", {'b', 'a', 'd'});
    try {
      installer.Install(source);
      ADD_FAILURE() << "no error";
    } catch (const ENovaError& e) {
      EXPECT_EQ(SjisToUtf8(e.what()), "b.nft\r\nフォントファイルが破壊されています");
    }
  }
  ResetFontPixels();
  std::filesystem::remove_all(dir);
}

} // namespace
} // namespace nova
