// SPDX-License-Identifier: MIT
#include "shell/find_archives.h"

#include <gtest/gtest.h>

#include <fstream>

#include "test_files.h"

namespace nova {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

TEST(FindArchives, PatchArchivesComeFirstSoTheirFilesWin) {
  const fs::path dir = test::TestDir("find_archives_patch");
  fs::create_directories(dir / "title");
  Write(dir / "title" / "game.dat", "vf....");
  Write(dir / "title" / "patch.dat", "vf....");
  Write(dir / "fr.dat", "vf....");
  Write(dir / "notes.txt", "not an archive");
  Write(dir / "extra.exe", "MZ....nv"); // an appended archive keeps its place

  const std::vector<std::string> params = {(dir / "title").string(), (dir / "fr.dat").string(),
                                           (dir / "notes.txt").string(),
                                           (dir / "extra.exe").string()};
  const TTitleArchives found = FindArchives(params, "/nowhere/novaplay");
  EXPECT_EQ(found.base_folder, dir / "title");
  EXPECT_EQ(found.archives, (std::vector<fs::path>{dir / "title" / "patch.dat", dir / "fr.dat",
                                                   dir / "title" / "game.dat", dir / "extra.exe"}));

  // A plain archive as the first parameter is no patch: there is nothing to patch.
  const TTitleArchives alone = FindArchives({(dir / "fr.dat").string()}, "/nowhere/novaplay");
  EXPECT_TRUE(alone.archives.empty());
}

} // namespace
} // namespace nova
