// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace nova {

// One message of a gettext catalogue. Texts are UTF-8, unescaped.
struct TPoEntry {
  std::vector<std::string> notes;      // "#." comments: what the text is
  std::vector<std::string> references; // "#:" comments: where it comes from
  bool fuzzy = false;                  // "#, fuzzy": a translation not yet confirmed
  std::string context;                 // msgctxt; identifies the entry with msgid
  std::string msgid;
  std::string msgstr;
};

// The catalogue text: a UTF-8 header entry, then each entry with its comments.
std::string WritePo(const std::vector<TPoEntry>& entries);

// Reads a catalogue. The header entry (empty msgid, no context) and obsolete "#~" entries are
// left out; plural forms are refused. Faults raise ENovaError naming `what` and the line.
std::vector<TPoEntry> ReadPo(std::string_view text, const std::string& what);

} // namespace nova
