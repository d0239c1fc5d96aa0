// SPDX-License-Identifier: MIT
// Where the text of the message boxes goes besides the screen: the player's reading aid (text
// log, clipboard, speech) implements it. Titles never see it.
#pragma once
#include <string>

namespace nova {

class TWdPage;

class IMessageTextObserver {
public:
  virtual ~IMessageTextObserver() = default;
  // A message box finished revealing a page (once per page, in the frame it completes):
  // `sjis_text` is what the page reads as, from PageReadingText.
  virtual void PageRevealed(const std::string& sjis_text) = 0;
};

// A page's characters as plain text (Shift-JIS): tags and inline pictures leave nothing, ruby
// leaves its base text, line breaks become "\n" (none at the end).
std::string PageReadingText(const TWdPage& page);

} // namespace nova
