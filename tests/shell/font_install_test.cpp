// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/nova_error.h"
#include "base/sjis.h"
#include "shell/font_install.h"
#include "shell/test_files.h"

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
    TFontInstaller installer(temp, [&](const std::filesystem::path& file) {
      offered.push_back(ReadAll(file));
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
  EXPECT_EQ(offered, (std::vector<std::string>{"font A", "font B"}));
  EXPECT_FALSE(std::filesystem::exists(kept)); // deleted at the end
  // Listing made the read-only file writable again.
  EXPECT_NE(std::filesystem::status(title / "a.nft").permissions() &
                std::filesystem::perms::owner_write,
            std::filesystem::perms::none);
}

TEST(FontInstall, NoWorkFileIsAnError) {
  const auto dir = TestDir("fonts_fail");
  std::ofstream(dir / "a.nft") << "x";
  TFontInstaller installer(dir / "missing", [](const std::filesystem::path&) { return true; });
  TFolderFontSource source(dir);
  try {
    installer.Install(source);
    FAIL();
  } catch (const ENovaError& e) {
    EXPECT_EQ(SjisToUtf8(e.what()), "作業用ファイルが作成できません");
  }
}

} // namespace
} // namespace nova
