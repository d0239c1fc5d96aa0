// SPDX-License-Identifier: MIT
#include "media/midi_log.h"

#include <cerrno>
#include <cstring>

#include "base/nova_error.h"

namespace nova {

TMidiLog::TMidiLog(const std::string& native_path) : file_(std::fopen(native_path.c_str(), "w")) {
  if (!file_)
    throw ENovaError(native_path + ": cannot write the MIDI log: " + std::strerror(errno));
}

TMidiLog::~TMidiLog() { std::fclose(file_); }

std::string TMidiLog::Line(int32_t position_ms, std::span<const uint8_t> bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string line = std::to_string(position_ms);
  for (uint8_t byte : bytes) {
    line += ' ';
    line += kHex[byte >> 4];
    line += kHex[byte & 15];
  }
  return line;
}

void TMidiLog::Write(int32_t position_ms, std::span<const uint8_t> bytes) {
  const std::string line = Line(position_ms, bytes) + '\n';
  std::lock_guard lock(mutex_);
  std::fwrite(line.data(), 1, line.size(), file_);
}

void TMidiLog::Flush() {
  std::lock_guard lock(mutex_);
  std::fflush(file_);
}

} // namespace nova
