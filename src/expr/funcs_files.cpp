// SPDX-License-Identifier: MIT
// Built-in functions on file names and on the title's files.
#include <string>
#include <string_view>
#include <vector>

#include "base/sjis.h"
#include "expr/param_collection.h"
#include "expr/private/func_call.h"
#include "vfs/vr_file_manager.h"

namespace nova {

namespace {

enum : uint8_t {
  fnFileExists = 71,
  fnLoadTextFile = 72,
  fnExtractFilePath = 75,
  fnExtractFileName = 76,
  fnExtractFileExt = 77,
  fnIsPathDelimiter = 78,
  fnAddBackSlash = 79,
  fnChangeFileExt = 80,
  fnIsDelimiter = 81,
};

// 1-based position of the last single-byte character of `s` that is one of `delims` (the
// second byte of a double-byte character never counts); 0 when none.
size_t LastDelimiter(std::string_view delims, std::string_view s) {
  size_t found = 0;
  for (size_t i = 0; i < s.size(); i += CharBytes(s, i)) {
    if (CharBytes(s, i) == 1 && delims.find(s[i]) != std::string_view::npos)
      found = i + 1;
  }
  return found;
}

// True when byte `index` (1-based) of `s` is a single-byte character among `delims`.
bool IsDelimiterAt(std::string_view delims, std::string_view s, int32_t index) {
  if (index <= 0 || static_cast<size_t>(index) > s.size())
    return false;
  const size_t i = static_cast<size_t>(index) - 1;
  if (IsTrailByteAt(s, i) || CharBytes(s, i) == 2)
    return false;
  return delims.find(s[i]) != std::string_view::npos;
}

std::string ExtractFilePath(std::string_view s) {
  return std::string(s.substr(0, LastDelimiter("\\:", s)));
}

std::string ExtractFileName(std::string_view s) {
  return std::string(s.substr(LastDelimiter("\\:", s)));
}

std::string ExtractFileExt(std::string_view s) {
  const size_t i = LastDelimiter(".\\:", s);
  return i > 0 && s[i - 1] == '.' ? std::string(s.substr(i - 1)) : std::string();
}

std::string ChangeFileExt(std::string_view s, std::string_view ext) {
  const size_t i = LastDelimiter(".\\:", s);
  const size_t keep = i > 0 && s[i - 1] == '.' ? i - 1 : s.size();
  return std::string(s.substr(0, keep)) + std::string(ext);
}

std::string AddBackSlash(std::string_view s) {
  std::string out(s);
  if (!IsDelimiterAt("\\", s, static_cast<int32_t>(s.size())))
    out += '\\';
  return out;
}

// Lines split at CR, LF or CR LF; a line end at the very end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const size_t end = text.find_first_of("\r\n");
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos)
      break;
    size_t next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n')
      ++next;
    text.remove_prefix(next);
  }
  return lines;
}

bool LoadTextFile(const TFuncCall& c) {
  const std::string name = c.Str(1);
  TVrFileManager& vfs = FileManager();
  if (name.empty() || !vfs.Exists(name))
    return false;
  const TMemoryStream data = vfs.Load(name);
  const std::vector<std::string> lines = SplitLines(data.View());
  if (lines.empty())
    return false;
  TCustomParam& v = c.A(0);
  v.SetDims({static_cast<int32_t>(std::min<size_t>(lines.size(), INT32_MAX))});
  for (size_t i = 0; i < lines.size(); ++i)
    v.SetStrAt(static_cast<int32_t>(i), lines[i]);
  return true;
}

} // namespace

bool CallFileFunc(const TFuncCall& c) {
  switch (c.id) {
  case fnFileExists: {
    const std::string name = c.Str(0);
    c.dest.SetFlag(!name.empty() && FileManager().Exists(name));
    return true;
  }
  case fnLoadTextFile:
    c.dest.SetFlag(LoadTextFile(c));
    return true;
  case fnExtractFilePath:
    c.dest.SetStr(ExtractFilePath(c.Str(0)));
    return true;
  case fnExtractFileName:
    c.dest.SetStr(ExtractFileName(c.Str(0)));
    return true;
  case fnExtractFileExt:
    c.dest.SetStr(ExtractFileExt(c.Str(0)));
    return true;
  case fnIsPathDelimiter:
    c.dest.SetFlag(IsDelimiterAt("\\", c.Str(0), c.Int(1)));
    return true;
  case fnAddBackSlash:
    c.dest.SetStr(AddBackSlash(c.Str(0)));
    return true;
  case fnChangeFileExt:
    c.dest.SetStr(ChangeFileExt(c.Str(0), c.Str(1)));
    return true;
  case fnIsDelimiter:
    c.dest.SetFlag(IsDelimiterAt(c.Str(0), c.Str(1), c.Int(2)));
    return true;
  default:
    return false;
  }
}

} // namespace nova
