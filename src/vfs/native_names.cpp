// SPDX-License-Identifier: MIT
#include "vfs/native_names.h"

#include <vector>

#include "base/sjis.h"

namespace nova {

namespace {

// The components of a Shift-JIS name split at `\` and '/' (empty ones kept).
std::vector<std::string> Components(std::string_view sjis_name) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < sjis_name.size();) {
    size_t n = CharBytes(sjis_name, i);
    if (n == 1 && (sjis_name[i] == '\\' || sjis_name[i] == '/')) {
      parts.emplace_back();
    } else {
      parts.back().append(sjis_name.substr(i, n));
    }
    i += n;
  }
  return parts;
}

} // namespace

std::string NativeRelativeName(std::string_view sjis_name) {
  std::string out;
  for (const std::string& part : Components(sjis_name)) {
    if (part.empty())
      continue;
    if (!out.empty())
      out.push_back('/');
    out += SjisToUtf8(part);
  }
  return out;
}

std::string TitleNameFromNative(std::string_view utf8_relative) {
  std::string sjis = Utf8ToSjis(utf8_relative);
  std::string out;
  for (size_t i = 0; i < sjis.size();) {
    size_t n = CharBytes(sjis, i);
    out.append(n == 1 && sjis[i] == '/' ? std::string_view("\\")
                                        : std::string_view(sjis).substr(i, n));
    i += n;
  }
  return out;
}

bool IsContainedName(std::string_view sjis_name) {
  if (sjis_name.empty() || sjis_name.find('\0') != std::string_view::npos)
    return false;
  if (sjis_name.size() >= 2 && sjis_name[1] == ':')
    return false;
  for (const std::string& part : Components(sjis_name)) {
    if (part.empty() || part == "." || part == "..")
      return false;
  }
  return true;
}

} // namespace nova
