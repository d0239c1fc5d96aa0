// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "base/regular_file.h"

namespace nova {
namespace {

// A FIFO, a folder or a device would block or mislead a reader: each fails at once.
TEST(RegularFile, OnlyRegularFilesAreRead) {
  const auto dir = std::filesystem::path(NOVA_BINARY_DIR) / "test_tmp" / "base" / "regular";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "plain.txt", std::ios::binary) << "abc";
  std::ofstream(dir / "empty.txt", std::ios::binary);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::filesystem::create_symlink(dir / "plain.txt", dir / "link.txt");
  const struct {
    std::filesystem::path path;
    size_t max_bytes;
    const char* content; // nullptr: refused
    const char* error;
  } cases[] = {
      {dir / "plain.txt", 10, "abc", ""},
      {dir / "link.txt", 10, "abc", ""},
      {dir / "empty.txt", 10, "", ""},
      {dir / "plain.txt", 2, nullptr, "larger than 2 bytes"},
      {dir / "fifo", 10, nullptr, "not a regular file"},
      {dir, 10, nullptr, "not a regular file"},
      {"/dev/zero", 10, nullptr, "not a regular file"},
      {dir / "missing", 10, nullptr, "No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.string());
    std::string error;
    const std::optional<std::string> text = ReadRegularFile(c.path, c.max_bytes, &error);
    EXPECT_EQ(text.has_value(), c.content != nullptr);
    if (c.content)
      EXPECT_EQ(*text, c.content);
    EXPECT_EQ(error, c.error);
  }
}

} // namespace
} // namespace nova
