// SPDX-License-Identifier: MIT
#include "script/text_form/page_text_names.h"

#include "script/command_kinds.h"
#include "script/mask.h"
#include "script/text_form/text_cursor.h"

namespace nova {
namespace {

constexpr const char* kTypeWords[] = {"int", "float", "flag", "str"};

} // namespace

std::string ResultTypeWord(uint8_t type) {
  if (type >= 1 && type <= 4)
    return kTypeWords[type - 1];
  return std::to_string(type);
}

int ResultTypeFromWord(const std::string& word) {
  for (int i = 0; i < 4; ++i) {
    if (word == kTypeWords[i])
      return i + 1;
  }
  int64_t v = 0;
  if (ParseInt(word, v) && v >= 0 && v <= 255)
    return static_cast<int>(v);
  return -1;
}

std::string MaskEntryWord(int32_t k) {
  if (k >= 0 && k < kCommandKindCount)
    return CommandKindInfo(static_cast<TCommandId>(k)).name;
  return std::to_string(k);
}

} // namespace nova
