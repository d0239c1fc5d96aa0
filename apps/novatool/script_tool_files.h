// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/nova_error.h"
#include "base/regular_file.h"

// Whole-file reading and writing for the page, project and title commands.
namespace nova_tool {

// Inputs are titles' files, held whole: more than this is no such file.
constexpr size_t kMaxToolInputBytes = size_t{1} << 30;

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::string error;
  const std::optional<std::string> text = nova::ReadRegularFile(path, kMaxToolInputBytes, &error);
  if (!text)
    throw nova::ENovaError(path + ": cannot read the file (" + error + ")");
  return {text->begin(), text->end()};
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
