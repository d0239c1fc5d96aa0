// SPDX-License-Identifier: MIT
#pragma once
#include <cstdio>
#include <filesystem>
#include <string>

namespace nova {

// A file the player writes for those who inspect a run (`--trace`, `--dump-vars`). Its path was
// checked at start (output_paths.h), but a write can still fail later, as on a full disk: the
// first failure is reported once on stderr, naming the option, the path and the cause, and
// further writes are dropped; the owner asks `Failed` and ends the run with status 1.
class TReportFile {
public:
  // Creates the file; throws ENovaError naming the option and the path when it cannot.
  TReportFile(std::string option, std::filesystem::path path);
  ~TReportFile();
  TReportFile(const TReportFile&) = delete;
  TReportFile& operator=(const TReportFile&) = delete;

  void Write(const std::string& utf8);
  // Writes `utf8` and a line end.
  void WriteLine(const std::string& utf8) { Write(utf8 + '\n'); }
  // Writes what is buffered and closes the file, so that a failure that only the last write
  // meets is known; true when every write reached the file. Later writes are dropped.
  bool Close();
  bool Failed() const { return failed_; }

private:
  void Fail(int error);

  std::string option_;
  std::filesystem::path path_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

} // namespace nova
