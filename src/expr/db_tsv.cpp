// SPDX-License-Identifier: MIT
#include "expr/db_tsv.h"

#include <string>
#include <vector>

#include "base/sjis.h"
#include "expr/db_table.h"
#include "expr/private/convert.h"

namespace nova {

namespace {

// A lead byte pairs only with a byte that can follow it; a lone lead byte before a TAB or at
// the end stays one byte, so it never swallows the separator after it.
size_t CharLen(std::string_view s, size_t i) {
  if (!IsLeadByte(s[i]) || i + 1 >= s.size())
    return 1;
  const auto t = static_cast<uint8_t>(s[i + 1]);
  return t >= 0x40 && t != 0x7F && t <= 0xFC ? 2 : 1;
}

// Cells between TABs; an empty cell between two TABs counts, a trailing TAB adds nothing.
void SplitCells(std::string_view line, std::vector<std::string_view>& cells) {
  cells.clear();
  size_t start = 0;
  for (size_t i = 0; i < line.size();) {
    if (line[i] == '\t') {
      cells.push_back(line.substr(start, i - start));
      start = ++i;
    } else {
      i += CharLen(line, i);
    }
  }
  if (start < line.size())
    cells.push_back(line.substr(start));
}

void Unescape(std::string_view line, std::string& out) {
  out.clear();
  for (size_t i = 0; i < line.size();) {
    const size_t n = CharLen(line, i);
    if (n == 1 && line[i] == '\\' && i + 1 < line.size()) {
      const char next = line[i + 1];
      if (next == '"' || next == '\\') {
        out += next;
        i += 2;
        continue;
      }
      if (next == 'n') {
        out += "\r\n";
        i += 2;
        continue;
      }
    }
    out.append(line.substr(i, n));
    i += n;
  }
}

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ')
    s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ')
    s.remove_suffix(1);
  return s;
}

// The next word of `s` (up to a space), removed from `s` with the spaces after it.
std::string_view NextWord(std::string_view& s) {
  s = TrimSpaces(s);
  const size_t space = s.find(' ');
  const std::string_view word = s.substr(0, space);
  s = space == std::string_view::npos ? std::string_view() : TrimSpaces(s.substr(space));
  return word;
}

// False when a cell has no field name.
bool AddHeaderFields(TDBTable& table, std::string_view line) {
  std::vector<std::string_view> cells;
  SplitCells(line, cells);
  for (std::string_view cell : cells) {
    const std::string_view name = NextWord(cell);
    if (name.empty())
      return false;
    const std::string_view type = NextWord(cell);
    if (type == "int") {
      table.AddField(name, ftInteger, 0);
    } else if (type == "float") {
      table.AddField(name, ftReal, 0);
    } else if (type == "bool") {
      table.AddField(name, ftFlag, 0);
    } else {
      table.AddField(name, ftString, ParseInt(cell).value_or(80));
    }
  }
  return true;
}

} // namespace

bool LoadTsv(TDBTable& table, std::string_view text) {
  table.ClearAll();
  bool header = true;
  std::vector<std::string_view> cells;
  std::string unescaped;
  while (!text.empty()) {
    const size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end != std::string_view::npos && text[end] == '\r' && next < text.size() &&
        text[next] == '\n')
      ++next;
    text.remove_prefix(next);

    if (header) {
      header = false;
      if (!AddHeaderFields(table, line)) {
        table.ClearAll();
        return false;
      }
      continue;
    }
    if (line.empty())
      continue;
    Unescape(line, unescaped);
    SplitCells(unescaped, cells);
    if (!table.AppendRecord())
      return false;
    table.current = table.RecordCount() - 1;
    uint8_t* record = table.Record(table.current);
    const size_t n = std::min(cells.size(), static_cast<size_t>(table.Fields().Count()));
    for (size_t i = 0; i < n; ++i)
      table.Fields()[static_cast<int32_t>(i)].WriteStr(record, cells[i]);
  }
  return true;
}

} // namespace nova
