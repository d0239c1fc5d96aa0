// SPDX-License-Identifier: MIT
#include "shell/ini_file.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "base/nova_error.h"
#include "base/regular_file.h"
#include "base/sjis.h"

namespace nova {

namespace {

// Settings files are a few hundred bytes; anything far larger is not one.
constexpr size_t kMaxIniBytes = 1 << 20;

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos)
    return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

void TIniFile::Load(const std::filesystem::path& path) {
  sections_.clear();
  if (std::optional<std::string> text = ReadRegularFile(path, kMaxIniBytes))
    Parse(*text);
}

void TIniFile::Parse(const std::string& text) {
  sections_.clear();
  std::istringstream in(text);
  TSection* current = nullptr;
  for (std::string raw; std::getline(in, raw);) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == ';')
      continue;
    if (line[0] == '[' && line.back() == ']') {
      const std::string name = Trim(line.substr(1, line.size() - 2));
      current = nullptr;
      for (TSection& s : sections_)
        if (SameTextJ(s.name, name))
          current = &s;
      if (!current)
        current = &sections_.emplace_back(TSection{name, {}});
      continue;
    }
    const size_t eq = line.find('=');
    if (!current || eq == std::string::npos)
      continue;
    current->entries.push_back({Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
  }
}

const TIniFile::TEntry* TIniFile::Find(const std::string& section, const std::string& key) const {
  for (const TSection& s : sections_) {
    if (!SameTextJ(s.name, section))
      continue;
    for (const TEntry& e : s.entries)
      if (SameTextJ(e.key, key))
        return &e;
  }
  return nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
  const TEntry* e = Find(section, key);
  return e ? e->value : fallback;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
  const TEntry* e = Find(section, key);
  if (!e)
    return fallback;
  std::string_view s = e->value;
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  int64_t value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size())
    return fallback;
  if (negative)
    value = -value;
  if (value < INT32_MIN || value > INT32_MAX)
    return fallback;
  return static_cast<int>(value);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  TSection* target = nullptr;
  for (TSection& s : sections_)
    if (SameTextJ(s.name, section))
      target = &s;
  if (!target)
    target = &sections_.emplace_back(TSection{section, {}});
  for (TEntry& e : target->entries) {
    if (SameTextJ(e.key, key)) {
      e.value = value;
      return;
    }
  }
  target->entries.push_back({key, value});
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::Text() const {
  std::string out;
  for (size_t i = 0; i < sections_.size(); ++i) {
    if (i > 0)
      out += "\r\n";
    out += "[" + sections_[i].name + "]\r\n";
    for (const TEntry& e : sections_[i].entries)
      out += e.key + "=" + e.value + "\r\n";
  }
  return out;
}

void TIniFile::Save(const std::filesystem::path& path) const {
  const std::string text = Text();
  // Writing into a FIFO would wait for a reader forever.
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    throw ENovaError(Utf8ToSjis("cannot write " + path.string() + ": not a regular file"));
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file || !file.write(text.data(), static_cast<std::streamsize>(text.size())) || !file.flush())
    throw ENovaError(Utf8ToSjis("cannot write " + path.string()));
}

} // namespace nova
