// SPDX-License-Identifier: MIT
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace nova {

// An INI file held in memory and written back whole: "[Section]" lines and "Key=Value" lines.
// Section and key names compare case-insensitively; blank lines and ';' comments are not kept.
class TIniFile {
public:
  // Reads `path`. A missing, unreadable or oversized file leaves the file empty (every read
  // gives its default); Load never fails.
  void Load(const std::filesystem::path& path);
  void Parse(const std::string& text);

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) const;
  // Decimal, or hexadecimal with "$" or "0x"; the fallback when the value is no number.
  int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
  // A number other than 0 is true.
  bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

  std::string Text() const;
  // Writes the whole file; throws ENovaError naming the file when it cannot.
  void Save(const std::filesystem::path& path) const;

private:
  struct TEntry {
    std::string key;
    std::string value;
  };
  struct TSection {
    std::string name;
    std::vector<TEntry> entries;
  };
  const TEntry* Find(const std::string& section, const std::string& key) const;
  std::vector<TSection> sections_;
};

} // namespace nova
