// SPDX-License-Identifier: MIT
#include "shell/reading_aid.h"

#include <algorithm>

#include "base/sjis.h"
#include "platform/speech.h"
#include "platform/window.h"

namespace nova {

TReadingAid::TReadingAid(TReadingAidOptions options) : options_(std::move(options)) {}

TReadingAid::~TReadingAid() = default;

bool TReadingAid::Active() const {
  return options_.text_log || options_.clipboard || options_.speech;
}

void TReadingAid::PageRevealed(const std::string& sjis_text) {
  const std::string text = SjisToUtf8(sjis_text);
  if (text.empty())
    return;
  if (options_.text_log) {
    // One page, one line: the page's own line breaks become spaces.
    std::string line = text;
    std::ranges::replace(line, '\n', ' ');
    line += '\n';
    std::fputs(line.c_str(), options_.text_log);
    std::fflush(options_.text_log);
  }
  if (options_.clipboard)
    options_.clipboard->SetClipboardText(text);
  if (options_.speech)
    options_.speech->Say(text);
}

} // namespace nova
