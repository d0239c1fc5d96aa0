// SPDX-License-Identifier: MIT
#include "script/call_frame.h"

#include "base/nova_error.h"
#include "base/sjis.h"

namespace nova {

TStack& TStackList::Pop() {
  static const std::string kStackError = Utf8ToSjis("スタックエラー");
  if (frames_.empty())
    throw ENovaError(kStackError);
  spare_ = std::move(frames_.back());
  frames_.pop_back();
  return spare_;
}

} // namespace nova
