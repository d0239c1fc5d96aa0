// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "base/nova_error_english.h"

namespace nova {

// The system's own texts of this folder; VfsText gives them in Shift-JIS.
enum TVfsTextId {
  kFileNotFoundFormat, // "%s:ファイルがありません"
  kWorkFileFailed,     // "作業用ファイルが作れません"
  kResourceNotFound,   // "リソースが見つかりません"
  kWriteErrorPrefix,   // "エラー:"
};
const std::string& VfsText(TVfsTextId id);

// The failures that carry these texts, each with its English line.
// "%s:ファイルがありません" with the name.
ENovaErrorWithEnglish FileNotFoundError(const std::string& sjis_name);
// "作業用ファイルが作れません"; `what` names the work file or folder and why it failed.
ENovaErrorWithEnglish WorkFileError(const std::string& what);
// "リソースが見つかりません" for resource `name` of `type` in the program file `module_path`.
ENovaErrorWithEnglish ResourceNotFoundError(const std::string& module_path, const std::string& name,
                                            const std::string& type);

} // namespace nova
