// SPDX-License-Identifier: MIT
#include "vfs/private/vfs_texts.h"

#include <array>

#include "base/nova_error_english.h"
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

ENovaErrorWithEnglish FileNotFoundError(const std::string& sjis_name) {
  const std::string format = VfsText(kFileNotFoundFormat);
  return ENovaErrorWithEnglish(sjis_name + format.substr(2),
                               "The file " + sjis_name +
                                   " is in neither the title's archives nor its folder.");
}

ENovaErrorWithEnglish WorkFileError(const std::string& what) {
  return ENovaErrorWithEnglish(VfsText(kWorkFileFailed),
                               "A work file cannot be created: " + what + ".");
}

ENovaErrorWithEnglish ResourceNotFoundError(const std::string& module_path, const std::string& name,
                                            const std::string& type) {
  return ENovaErrorWithEnglish(VfsText(kResourceNotFound), "The program file " + module_path +
                                                               " has no resource " + name +
                                                               " of type " + type + ".");
}

} // namespace nova
