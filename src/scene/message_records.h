// SPDX-License-Identifier: MIT
// What the message boxes of one scene report to: the history formats and the read marks.
#pragma once
#include <memory>

#include "scene/message_history.h"
#include "scene/message_read_list.h"

namespace nova {

class TMessageRecords {
public:
  TNovaHistoryFormatManager formats;
  TNovaReadList reads;

  // The script's text commands; the records keep it until it is replaced.
  void SetTextSource(std::unique_ptr<ITextCommandSource> source) {
    source_ = std::move(source);
    formats.SetTextSource(source_.get());
  }
  ITextCommandSource* TextSource() const { return source_.get(); }

private:
  std::unique_ptr<ITextCommandSource> source_;
};

} // namespace nova
