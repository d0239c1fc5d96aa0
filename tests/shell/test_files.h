// SPDX-License-Identifier: MIT
// Scratch folders and file reading for the shell's tests.
#pragma once
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace nova::test {

// An empty folder of its own for a test, under the build tree.
inline std::filesystem::path TestDir(const std::string& name) {
  auto dir = std::filesystem::path(NOVA_BINARY_DIR) / "test_tmp" / "shell" / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

} // namespace nova::test
