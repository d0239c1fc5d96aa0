// SPDX-License-Identifier: MIT
#include "scene/kinds/map_text.h"

#include <charconv>
#include <sstream>

#include "base/nova_error.h"

namespace nova {
namespace {

// Caps that keep a description's map within what a picture can use.
constexpr size_t kMaxAreas = 1024;
constexpr size_t kMaxPoints = 4096;
constexpr int32_t kMaxCoordinate = 1'000'000;

struct LineReader {
  const std::string& name;
  int line;

  [[noreturn]] void Fail(const std::string& what) const {
    throw ENovaError(name + ":" + std::to_string(line) + ": " + what);
  }
};

// Words of a line; a quoted word keeps its spaces (`\"` and `\\` escape inside it).
std::vector<std::string> Words(const std::string& text, const LineReader& at) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r') {
      ++i;
      continue;
    }
    if (text[i] == '#')
      break;
    std::string word;
    if (text[i] == '"') {
      ++i;
      while (i < text.size() && text[i] != '"') {
        if (text[i] == '\\' && i + 1 < text.size())
          ++i;
        word += text[i++];
      }
      if (i >= text.size())
        at.Fail("the name has no closing quote");
      ++i;
      words.push_back("\"" + word);
      continue;
    }
    while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r')
      word += text[i++];
    words.push_back(word);
  }
  return words;
}

int32_t Coordinate(const std::string& word, const LineReader& at) {
  int32_t v = 0;
  const char* end = word.data() + word.size();
  const auto [p, ec] = std::from_chars(word.data(), end, v);
  if (ec != std::errc() || p != end || v < -kMaxCoordinate || v > kMaxCoordinate)
    at.Fail("\"" + word + "\" is no coordinate (a whole number within " +
            std::to_string(kMaxCoordinate) + ")");
  return v;
}

} // namespace

std::vector<TMapArea> ParseMapText(const std::string& text, const std::string& name) {
  std::vector<TMapArea> areas;
  std::istringstream lines(text);
  std::string line;
  for (LineReader at{name, 1}; std::getline(lines, line); ++at.line) {
    const std::vector<std::string> w = Words(line, at);
    if (w.empty())
      continue;
    if (w.size() < 2 || w[1].empty() || w[1][0] != '"')
      at.Fail("expected a shape and a quoted name");
    if (areas.size() == kMaxAreas)
      at.Fail("more than " + std::to_string(kMaxAreas) + " areas");
    TMapArea a;
    a.name = w[1].substr(1);
    if (w[0] == "rect" || w[0] == "ellipse") {
      if (w.size() != 6)
        at.Fail(w[0] + " takes a name and four edges: left top right bottom");
      a.kind = w[0] == "rect" ? 0 : 1;
      a.left = Coordinate(w[2], at);
      a.top = Coordinate(w[3], at);
      a.right = Coordinate(w[4], at);
      a.bottom = Coordinate(w[5], at);
    } else if (w[0] == "polygon") {
      if (w.size() < 8 || w.size() % 2 != 0)
        at.Fail("polygon takes a name and at least three points (x y pairs)");
      if ((w.size() - 2) / 2 > kMaxPoints)
        at.Fail("more than " + std::to_string(kMaxPoints) + " points");
      a.kind = 2;
      for (size_t i = 2; i < w.size(); i += 2)
        a.points.push_back({Coordinate(w[i], at), Coordinate(w[i + 1], at)});
    } else {
      at.Fail("unknown shape \"" + w[0] + "\" (rect, ellipse or polygon)");
    }
    areas.push_back(std::move(a));
  }
  return areas;
}

} // namespace nova
