// SPDX-License-Identifier: MIT
#include "shell/report_file.h"

#include <cerrno>
#include <cstring>

#include "base/nova_error.h"
#include "base/sjis.h"

namespace nova {

TReportFile::TReportFile(std::string option, std::filesystem::path path)
    : option_(std::move(option)), path_(std::move(path)), file_(std::fopen(path_.c_str(), "w")) {
  if (!file_)
    throw ENovaError(Utf8ToSjis(option_ + ": cannot write to " + path_.string() + " (" +
                                std::strerror(errno) + ")"));
}

TReportFile::~TReportFile() { Close(); }

void TReportFile::Write(const std::string& utf8) {
  if (!file_ || failed_)
    return;
  errno = 0;
  if (std::fwrite(utf8.data(), 1, utf8.size(), file_) != utf8.size())
    Fail(errno);
}

bool TReportFile::Close() {
  if (file_) {
    errno = 0;
    const bool flushed = std::fflush(file_) == 0;
    const int error = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed)
      Fail(error ? error : errno);
  }
  return !failed_;
}

void TReportFile::Fail(int error) {
  if (failed_)
    return;
  failed_ = true;
  std::fprintf(stderr, "novaplay: %s: writing %s failed (%s); the run ends with status 1\n",
               option_.c_str(), path_.c_str(), error ? std::strerror(error) : "write error");
}

} // namespace nova
