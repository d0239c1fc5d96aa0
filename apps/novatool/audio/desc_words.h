// SPDX-License-Identifier: MIT
// The pieces both text descriptions share: lines split into words, numbers read whole, note
// names, and errors that name the file and the line.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nova::tool {

struct TDescLine {
  int number = 0; // 1-based
  std::vector<std::string> words;
};

// The lines of `text` that hold words; `#` starts a comment. Text over 1 MiB is refused.
std::vector<TDescLine> SplitDescLines(std::string_view text, const std::string& name);

// Throws ENovaError "NAME:LINE: what".
[[noreturn]] void DescFail(const std::string& name, int line, const std::string& what);

// A whole word as a finite number; nullopt for anything else ("1.5x", "nan", "").
std::optional<double> ParseNumber(std::string_view word);

// A note name as a MIDI note number: letter A-G, then `#` or `b`, then the octave -1..9
// (C4 = 60). nullopt when it is no note name or outside 0..127.
std::optional<int> ParseNoteName(std::string_view word);

} // namespace nova::tool
