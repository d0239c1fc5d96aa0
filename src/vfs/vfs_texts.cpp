// SPDX-License-Identifier: MIT
#include "vfs/private/vfs_texts.h"

#include <array>

#include "base/sjis.h"

namespace nova {

namespace {

constexpr std::array<const char*, 4> kUtf8Texts = {
    "%s:ファイルがありません",
    "作業用ファイルが作れません",
    "リソースが見つかりません",
    "エラー:",
};

} // namespace

const std::string& VfsText(TVfsTextId id) {
  static const std::array<std::string, kUtf8Texts.size()> sjis = [] {
    std::array<std::string, kUtf8Texts.size()> out;
    for (size_t i = 0; i < kUtf8Texts.size(); ++i)
      out[i] = Utf8ToSjis(kUtf8Texts[i]);
    return out;
  }();
  return sjis[static_cast<size_t>(id)];
}

std::string FileNotFoundMessage(const std::string& sjis_name) {
  std::string format = VfsText(kFileNotFoundFormat);
  return sjis_name + format.substr(2);
}

} // namespace nova
