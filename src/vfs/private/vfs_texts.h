// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace nova {

// The system's own texts of this folder; VfsText gives them in Shift-JIS.
enum TVfsTextId {
  kFileNotFoundFormat, // "%s:ファイルがありません"
  kWorkFileFailed,     // "作業用ファイルが作れません"
  kResourceNotFound,   // "リソースが見つかりません"
  kWriteErrorPrefix,   // "エラー:"
};
const std::string& VfsText(TVfsTextId id);

// "%s:ファイルがありません" with the name.
std::string FileNotFoundMessage(const std::string& sjis_name);

} // namespace nova
