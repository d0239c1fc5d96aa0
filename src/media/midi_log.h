// SPDX-License-Identifier: MIT
// `--midi-log`: every message the sequencer sends, one a line: the sequencer position in
// milliseconds, a space, and the bytes in upper-case hexadecimal separated by spaces
// ("1000 90 3C 64"), so that runs and bug reports can be compared line by line.
#pragma once
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <span>
#include <string>

namespace nova {

class TMidiLog {
public:
  // Creates (truncates) the file; throws ENovaError naming it when it cannot be written.
  explicit TMidiLog(const std::string& native_path);
  ~TMidiLog();
  TMidiLog(const TMidiLog&) = delete;
  TMidiLog& operator=(const TMidiLog&) = delete;

  // Safe from any thread.
  void Write(int32_t position_ms, std::span<const uint8_t> bytes);
  // Hands what was written to the file (tests read it while the log stays open).
  void Flush();

  // One line without its newline.
  static std::string Line(int32_t position_ms, std::span<const uint8_t> bytes);

private:
  std::mutex mutex_;
  std::FILE* file_ = nullptr;
};

} // namespace nova
