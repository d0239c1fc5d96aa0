// SPDX-License-Identifier: MIT
#include "script/component_texts.h"

#include "base/sjis.h"

namespace nova {

const std::string& InvalidPropertyText() {
  static const std::string text = Utf8ToSjis("プロパティ指定が不正です");
  return text;
}

} // namespace nova
