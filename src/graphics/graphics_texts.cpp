// SPDX-License-Identifier: MIT
#include <array>

#include "base/sjis.h"
#include "graphics/private/graphics_texts.h"

namespace nova {

namespace {

constexpr std::array<const char*, 2> kTextsUtf8 = {
    "識別コードを設定してください",
    "Error:TWispFrameList.GetFrame",
};

} // namespace

const std::string& GraphicsText(GraphicsTextId id) {
  static const auto texts = [] {
    std::array<std::string, kTextsUtf8.size()> sjis;
    for (size_t i = 0; i < kTextsUtf8.size(); ++i)
      sjis[i] = Utf8ToSjis(kTextsUtf8[i]);
    return sjis;
  }();
  return texts[id];
}

} // namespace nova
