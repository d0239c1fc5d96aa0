// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/nova_error.h"

// Whole-file reading and writing for the page, project and title commands.
namespace nova_tool {

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw nova::ENovaError(path + ": cannot open the file");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string ReadFileText(const std::string& path) {
  std::vector<uint8_t> bytes = ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

inline void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out)
    throw nova::ENovaError(path + ": cannot write the file");
}

// "-o PATH" among the arguments after the command word; empty when absent.
inline bool SplitOutput(const std::vector<std::string>& args, std::string& input,
                        std::string& output) {
  std::vector<std::string> rest;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      output = args[++i];
    } else {
      rest.push_back(args[i]);
    }
  }
  if (rest.size() != 1)
    return false;
  input = rest[0];
  return true;
}

} // namespace nova_tool
