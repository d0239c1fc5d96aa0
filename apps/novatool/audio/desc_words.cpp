// SPDX-License-Identifier: MIT
#include "audio/desc_words.h"

#include <charconv>
#include <cmath>

#include "base/nova_error.h"

namespace nova::tool {

std::vector<TDescLine> SplitDescLines(std::string_view text, const std::string& name) {
  if (text.size() > (1u << 20))
    throw ENovaError(name + ": larger than 1 MiB");
  std::vector<TDescLine> lines;
  int number = 0;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos)
      end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    if (const size_t hash = line.find('#'); hash != std::string_view::npos)
      line = line.substr(0, hash);
    TDescLine out{number, {}};
    size_t i = 0;
    while (i < line.size()) {
      while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
        ++i;
      size_t j = i;
      while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r')
        ++j;
      if (j > i)
        out.words.emplace_back(line.substr(i, j - i));
      i = j;
    }
    if (!out.words.empty())
      lines.push_back(std::move(out));
  }
  return lines;
}

void DescFail(const std::string& name, int line, const std::string& what) {
  throw ENovaError(name + ":" + std::to_string(line) + ": " + what);
}

std::optional<double> ParseNumber(std::string_view word) {
  if (!word.empty() && word[0] == '+')
    word.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (word.empty() || ec != std::errc() || end != word.data() + word.size() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<int> ParseNoteName(std::string_view word) {
  static constexpr int kSemitone[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
  if (word.size() < 2 || word[0] < 'A' || word[0] > 'G')
    return std::nullopt;
  int note = kSemitone[word[0] - 'A'];
  size_t i = 1;
  if (word[i] == '#' || word[i] == 'b') {
    note += word[i] == '#' ? 1 : -1;
    ++i;
  }
  const std::string_view octave_text = word.substr(i);
  int octave = 0;
  const auto [end, ec] =
      std::from_chars(octave_text.data(), octave_text.data() + octave_text.size(), octave);
  if (octave_text.empty() || ec != std::errc() || end != octave_text.data() + octave_text.size() ||
      octave < -1 || octave > 9)
    return std::nullopt;
  note += (octave + 1) * 12;
  if (note < 0 || note > 127)
    return std::nullopt;
  return note;
}

} // namespace nova::tool
