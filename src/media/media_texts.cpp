// SPDX-License-Identifier: MIT
#include <array>

#include "base/sjis.h"
#include "media/private/media_texts.h"

namespace nova {

namespace {

constexpr std::array<const char*, 2> kUtf8Texts = {
    "サウンドデータが不正です",
    "MIDIマッパー",
};

} // namespace

const std::string& MediaText(TMediaTextId id) {
  static const std::array<std::string, kUtf8Texts.size()> sjis = [] {
    std::array<std::string, kUtf8Texts.size()> out;
    for (size_t i = 0; i < kUtf8Texts.size(); ++i)
      out[i] = Utf8ToSjis(kUtf8Texts[i]);
    return out;
  }();
  return sjis[static_cast<size_t>(id)];
}

} // namespace nova
