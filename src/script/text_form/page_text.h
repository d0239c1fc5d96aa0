// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "script/page.h"
#include "script/text_form/text_lexer.h"

namespace nova {

// The wait of markup characters outside WAIT tags in TextIns text, unless a command gives
// `delay`: what @TextDelay holds when a player starts.
constexpr int32_t kDefaultMarkupDelayMs = 50;

// The readable text form of a page (docs/page-text-form.md). Disassembling a page and
// assembling the text again gives the same bytes.
std::string DisassemblePage(TPage& page);

// Finds a label in another page: (page name, label) → command index.
using TLabelResolver =
    std::function<std::optional<int32_t>(const std::string& page, const std::string& label)>;

// A page source split into lines and commands, before anything is built. Title builds parse
// every page first so that jumps can name labels of other pages.
class TPageSource {
public:
  // Lexes and splits `utf8`; errors name `file` and the line.
  TPageSource(const std::string& utf8, std::string file);

  // Label name (Shift-JIS) → index of its Label command, the first one of each name.
  const std::map<std::string, int32_t>& labels() const { return labels_; }

  // Builds the page: header, mask table (given or derived from the properties the commands
  // use), commands. `page.name()` decides which targets are local; `resolver` answers the others.
  void Build(TPage& page, const TLabelResolver& resolver = {}) const;

  struct Item {
    std::string key; // empty for a value given without a key
    TTextLine value; // the value's tokens
  };
  struct Line {
    int line;
    int indent;
    std::string head; // directive or command name
    std::vector<Item> items;
  };

private:
  std::string file_;
  std::vector<Line> directives_;
  std::vector<Line> commands_;
  std::map<std::string, int32_t> labels_;
};

} // namespace nova
